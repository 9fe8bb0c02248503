#pragma once

#include "platform/FbDatabase.h"

#include <memory>
#include <optional>
#include <string>

namespace app {

// The Firebird client library a connection goes through, chosen at run time before the
// connection opens.
struct FbDriverLink {
    std::shared_ptr<platform::FbClient> client;
};

// What a connection opens: the database by name, and the account.
struct SqlConnectionParams {
    std::string Database;
    std::string User_Name;
    std::string Password;
};

// A connection to one Firebird database through a driver link, with its parameters set at run
// time and opened when first used. Text goes over it in UTF-8, SQL dialect 3.
class SqlConnection {
public:
    explicit SqlConnection(const FbDriverLink& driverLink) : driverLink_(driverLink) {}

    SqlConnectionParams Params; // take effect at the next open

    bool Connected() const { return database_.has_value(); }
    // Attaches with the current parameters unless already connected; raises platform::FbError
    // with the server's message when the database cannot be opened.
    void Open();
    // Rolls back what is still active and detaches; never raises.
    void Close();
    // Opens the connection when needed and starts a transaction on it.
    platform::FbTransaction StartTransaction();
    // The open database; raises platform::FbError when not connected.
    platform::FbDatabase& Database();

private:
    const FbDriverLink& driverLink_;
    std::optional<platform::FbDatabase> database_;
};

// The updater's data module: the database components of the two upgrade runners, created at
// start-up after the window and living as long as it. Nothing connects at start-up.
class TDMAtualizacao {
public:
    TDMAtualizacao() = default;
    TDMAtualizacao(const TDMAtualizacao&) = delete;
    TDMAtualizacao& operator=(const TDMAtualizacao&) = delete;

    // The manual script's connection and its client library.
    FbDriverLink FDPhysFBDriverLink1;
    SqlConnection FDConexao{FDPhysFBDriverLink1};
};

} // namespace app
