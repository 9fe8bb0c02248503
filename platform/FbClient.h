#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace platform {

namespace fbapi {
struct Api;
}

// Any failure of the Firebird access layer. Server errors carry the server's full message
// (every line of the status vector, the later ones prefixed with "-", as Firebird's tools show
// them), the SQLCODE, the SQLSTATE and the first GDS code; failures found by the layer itself
// (library not loadable, wrong use, unsupported value) have codes 0 and an empty SQLSTATE.
class FbError : public std::runtime_error {
public:
    explicit FbError(const std::string& message, std::int64_t gdsCode = 0, int sqlCode = 0,
                     std::string sqlState = {});

    std::int64_t gdsCode() const { return gdsCode_; }
    int sqlCode() const { return sqlCode_; }
    const std::string& sqlState() const { return sqlState_; }

private:
    std::int64_t gdsCode_;
    int sqlCode_;
    std::string sqlState_;
};

// The file name of the client library on this platform: "fbclient.dll" on Windows,
// "libfbclient.so" on Linux.
std::string clientLibraryName();

// The client library to load for an install folder: the folder + "DLL/" + the name when that
// file exists, else the folder + the name when that exists. On Linux, where the client library
// is a system package, "libfbclient.so.2" (found through the loader's search path) when
// neither exists; elsewhere an empty text. A folder without a trailing separator gets one.
std::string findClientLibrary(const std::string& installFolder);

// One loaded Firebird client library. Every attachment keeps the library it was opened with
// alive through a shared pointer, so several attachments share one load and the library goes
// only after the last of them. The code stays mapped until the process ends even then
// (embedded engine threads may outlive the last attachment), but the handle is released.
class FbClient {
public:
    // Loads the library at a path (or a bare name, through the loader's search path) and
    // resolves every entry point; raises FbError with the loader's reason on failure.
    static std::shared_ptr<FbClient> load(const std::string& path);

    // Loads the library findClientLibrary picks for the install folder. When there is none, or
    // it does not load, raises FbError with "fbclient.dll não encontrada no diretório " + the
    // folder + "\DLL" (on Linux "libfbclient.so" and "/DLL"), followed by the loader's reason
    // on a line of its own when a library was found but failed to load.
    static std::shared_ptr<FbClient> loadForInstallFolder(const std::string& installFolder);

    ~FbClient();
    FbClient(const FbClient&) = delete;
    FbClient& operator=(const FbClient&) = delete;

    // The path or name the library was loaded from.
    const std::string& path() const { return path_; }

    // The resolved entry points; the type is opaque outside the access layer.
    const fbapi::Api& api() const { return *api_; }

private:
    FbClient(std::string path, void* handle, std::unique_ptr<fbapi::Api> api);

    std::string path_;
    void* handle_;
    std::unique_ptr<fbapi::Api> api_;
};

} // namespace platform
