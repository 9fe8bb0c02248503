#include "app/uDMAtualizacao.h"

namespace app {

void SqlConnection::Open() {
    if (Connected())
        return;
    if (!driverLink_.client)
        throw platform::FbError("No Firebird client library was chosen for the connection");
    database_ = platform::FbDatabase::attach(
        driverLink_.client, Params.Database,
        {.user = Params.User_Name, .password = Params.Password, .charset = "UTF8", .dialect = 3});
}

void SqlConnection::Close() { database_.reset(); }

platform::FbTransaction SqlConnection::StartTransaction() {
    Open();
    return database_->startTransaction();
}

platform::FbDatabase& SqlConnection::Database() {
    if (!Connected())
        throw platform::FbError("The connection to the database is not open");
    return *database_;
}

} // namespace app
