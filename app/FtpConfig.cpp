#include "app/FtpConfig.h"

#include "app/StrToInt.h"

#include <stdexcept>

namespace app {

platform::FtpSettings builtInFtpSettings() {
    platform::FtpSettings settings;
    settings.host = KELVANTRA_FTP_HOST;
    settings.port = KELVANTRA_FTP_PORT;
    settings.user = KELVANTRA_FTP_USER;
    settings.password = KELVANTRA_FTP_PASSWORD;
    return settings;
}

platform::FtpSettings readFtpSettings(const platform::IniFile& config,
                                      const platform::FtpSettings& defaults) {
    constexpr std::string_view kSection = "FTP";
    platform::FtpSettings settings = defaults;
    settings.host = config.readString(kSection, "HOST", defaults.host);
    settings.user = config.readString(kSection, "USUARIO", defaults.user);
    settings.password = config.readString(kSection, "SENHA", defaults.password);

    const std::string port = config.readString(kSection, "PORTA", std::to_string(defaults.port));
    settings.port = strToIntDef(port, 0);
    if (settings.port < 1 || settings.port > 65535)
        throw std::runtime_error("Porta do servidor FTP inválida no arquivo de configuração: '" +
                                 port + "'");
    return settings;
}

} // namespace app
