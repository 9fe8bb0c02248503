#include "platform/FbClient.h"

#include "platform/FbApi.h"

#include <filesystem>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace platform {

FbError::FbError(const std::string& message, std::int64_t gdsCode, int sqlCode,
                 std::string sqlState)
    : std::runtime_error(message), gdsCode_(gdsCode), sqlCode_(sqlCode),
      sqlState_(std::move(sqlState)) {}

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';

std::wstring widen(const std::string& utf8) {
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string lastLoaderError() {
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, GetLastError(), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = text ? text : "unknown error";
    LocalFree(text);
    return reason;
}

void* openLibrary(const std::string& path) {
    // The altered search path lets the library find its own dependencies beside it.
    return LoadLibraryExW(widen(path).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
void* findSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}
void closeLibrary(void* handle) { FreeLibrary(static_cast<HMODULE>(handle)); }
#else
constexpr char kSeparator = '/';

std::string lastLoaderError() {
    const char* reason = dlerror();
    return reason ? reason : "unknown error";
}

void* openLibrary(const std::string& path) {
    // RTLD_NODELETE: threads of the embedded engine may still run after the last handle goes,
    // so the code must never be unmapped under them.
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
}
void* findSymbol(void* handle, const char* name) { return dlsym(handle, name); }
void closeLibrary(void* handle) { dlclose(handle); }
#endif

std::filesystem::path utf8Path(const std::string& text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string withSeparator(std::string folder) {
    if (!folder.empty() && folder.back() != kSeparator && folder.back() != '/')
        folder += kSeparator;
    return folder;
}

std::string notFoundMessage(const std::string& installFolder) {
    return clientLibraryName() + " não encontrada no diretório " + installFolder + kSeparator +
           "DLL";
}

} // namespace

std::string clientLibraryName() {
#ifdef _WIN32
    return "fbclient.dll";
#else
    return "libfbclient.so";
#endif
}

std::string findClientLibrary(const std::string& installFolder) {
    const std::string folder = withSeparator(installFolder);
    for (const std::string& candidate :
         {folder + "DLL" + kSeparator + clientLibraryName(), folder + clientLibraryName()}) {
        std::error_code ignored;
        if (std::filesystem::exists(utf8Path(candidate), ignored))
            return candidate;
    }
#ifdef _WIN32
    return {};
#else
    return "libfbclient.so.2";
#endif
}

std::shared_ptr<FbClient> FbClient::load(const std::string& path) {
    void* handle = openLibrary(path);
    if (!handle)
        throw FbError("cannot load the Firebird client library " + path + ": " + lastLoaderError());
    auto api = std::make_unique<fbapi::Api>();
    const char* missing = nullptr;
#define KV_FB_RESOLVE(name)                                                                        \
    api->name = reinterpret_cast<decltype(api->name)>(findSymbol(handle, #name));                  \
    if (!api->name && !missing)                                                                    \
        missing = #name;
    KV_FB_ENTRY_POINTS(KV_FB_RESOLVE)
#undef KV_FB_RESOLVE
    if (missing) {
        closeLibrary(handle);
        throw FbError("the Firebird client library " + path + " has no entry point " + missing);
    }
    return std::shared_ptr<FbClient>(new FbClient(path, handle, std::move(api)));
}

std::shared_ptr<FbClient> FbClient::loadForInstallFolder(const std::string& installFolder) {
    const std::string path = findClientLibrary(installFolder);
    if (path.empty())
        throw FbError(notFoundMessage(installFolder));
    try {
        return load(path);
    } catch (const FbError& error) {
        throw FbError(notFoundMessage(installFolder) + "\n" + error.what());
    }
}

FbClient::FbClient(std::string path, void* handle, std::unique_ptr<fbapi::Api> api)
    : path_(std::move(path)), handle_(handle), api_(std::move(api)) {}

FbClient::~FbClient() { closeLibrary(handle_); }

} // namespace platform
