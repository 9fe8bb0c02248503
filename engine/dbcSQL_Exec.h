#pragma once

// The script builder that renders the statement list as script text; executing the list on a
// connection is added on top of it.

#include "engine/dbcClasses.h"

namespace dbc {

class TSQLExec : public TCustomSQLExec {
public:
    TConnectionOptions& ConnectionOptions() { return connectionOptions_; }
    const TConnectionOptions& ConnectionOptions() const { return connectionOptions_; }
    void SetConnectionOptions(const TConnectionOptions& options) { connectionOptions_ = options; }
    TIBServerOptions& IBServerOptions() { return ibServerOptions_; }
    const TIBServerOptions& IBServerOptions() const { return ibServerOptions_; }
    void SetIBServerOptions(const TIBServerOptions& options) { ibServerOptions_.Assign(options); }

    // "COMMIT WORK;" as its own statement.
    void Add_Commit() override;
    TStatement* AddComment(std::string_view comment) override;
    // A reconnect marker: "RECONNECT" when UseRECONNECT is on, else the CONNECT statement of
    // the builder's connection options (nothing without a database name). Firebird only.
    void AddReConnect() override;
    // Quoted by the Firebird rule for the builder's server version, always in dialect 3.
    std::string QuoteIdent(std::string_view ident) const;
    // Appends the script text: terminators, "SET TERM" blocks around procedure-like
    // statements, and COMMIT lines when GenerateCOMMIT is on.
    void GetScript(std::vector<std::string>& lines, bool lineReNumber) override;
    // Also clears the connection and server options.
    void Clear() override;

private:
    TConnectionOptions connectionOptions_;
    TIBServerOptions ibServerOptions_;
};

} // namespace dbc
