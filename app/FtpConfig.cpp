#include "FtpConfig.h"

#include "StrToInt.h"

#include <stdexcept>

namespace app {

platform::FtpSettings builtInFtpSettings() {
    return {KELVANTRA_FTP_HOST, KELVANTRA_FTP_PORT, KELVANTRA_FTP_USER, KELVANTRA_FTP_PASSWORD};
}

platform::FtpSettings readFtpSettings(const platform::IniFile& config,
                                      const platform::FtpSettings& defaults) {
    constexpr std::string_view kSection = "FTP";
    platform::FtpSettings settings;
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
