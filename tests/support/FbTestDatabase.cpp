#include "FbTestDatabase.h"

namespace fbtest {

std::shared_ptr<platform::FbClient> systemClient() {
    static const std::shared_ptr<platform::FbClient> client =
        platform::FbClient::load("libfbclient.so.2");
    return client;
}

platform::FbConnectOptions sysdba(const std::string& charset) {
    platform::FbConnectOptions options;
    options.user = "SYSDBA";
    options.password = "masterkey";
    options.charset = charset;
    options.forcedWrites = false;
    return options;
}

ScratchDatabase::ScratchDatabase(const platform::FbCreateOptions& createOptions,
                                 const platform::FbConnectOptions& options)
    : dir_("kv-fb"), path_((dir_ / "test.fdb").string()),
      db_(platform::FbDatabase::create(systemClient(), path_, options, createOptions)) {}

void ScratchDatabase::execute(std::initializer_list<std::string_view> statements) {
    for (std::string_view sql : statements) {
        platform::FbTransaction transaction = db_.startTransaction();
        transaction.executeImmediate(sql);
        transaction.commit();
    }
}

std::string ScratchDatabase::scalar(std::string_view query) { return queryScalar(db_, query); }

std::string queryScalar(platform::FbDatabase& db, std::string_view query) {
    platform::FbTransaction transaction = db.startTransaction();
    platform::FbStatement statement(db);
    statement.prepare(transaction, query);
    statement.execute(transaction);
    if (!statement.fetch())
        return "<no row>";
    return statement.value(size_t{0}).asString();
}

} // namespace fbtest
