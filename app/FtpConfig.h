#pragma once

#include "platform/FtpClient.h"
#include "platform/IniFile.h"

namespace app {

// The FTP server this build was configured for (CMake cache variables KELVANTRA_FTP_HOST,
// KELVANTRA_FTP_PORT, KELVANTRA_FTP_USER and KELVANTRA_FTP_PASSWORD).
platform::FtpSettings builtInFtpSettings();

// defaults with the keys present in section "FTP" of CONFIG.ini ("HOST", "PORTA", "USUARIO",
// "SENHA") put in their place. A port that is not a number from 1 to 65535 raises.
platform::FtpSettings readFtpSettings(const platform::IniFile& config,
                                      const platform::FtpSettings& defaults);

} // namespace app
