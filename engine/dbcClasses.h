#pragma once

// The schema object model: the base of every schema object with its dependency-ordered create
// and drop machinery, the dependency record, the per-database object collection, the structure
// component that owns a collection, the extractor base a structure is bound to, and the script
// builder interface that statements are added to.

#include "engine/dbcDBOptions.h"
#include "engine/dbcMsgMngr.h"
#include "engine/dbcTypes.h"
#include "platform/Component.h"
#include "platform/StringList.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dbc {

class TCustomObjs;
class TCustomDBStructure;
class TCustomExtract;
class TCustomSQLExec;
class TDependObj;
class TDmnData;
class TUdfData;
class TTblData;
class TFldData;
class TViwData;
class TPrcData;
class TTrgData;
class TIdxData;
class TGnrData;
class TCtrData;
class TExcData;
class TGntData;
class TPkgData;
class TRolData;

// Dependency records, owned, in the order they were made.
using DependList = std::vector<std::unique_ptr<TDependObj>>;

// The base of every schema object. An object belongs to one collection, which owns it; it owns
// its dependency records. "Created" says whether the object exists in the target database at
// the current point of the generated script; it is set together with the counterpart's flag.
class TDbObj {
public:
    explicit TDbObj(TCustomObjs* objs);
    TDbObj(const TDbObj&) = delete;
    TDbObj& operator=(const TDbObj&) = delete;
    virtual ~TDbObj();

    // The run-time class name the drop comments and messages show, e.g. "TExcData".
    virtual std::string_view ClassName() const { return "TDbObj"; }

    const std::string& ObjName() const { return objName_; }
    virtual void SetObjName(std::string name) { objName_ = std::move(name); }
    TDbObject ObjType() const { return objType_; }
    void SetObjType(TDbObject type) { objType_ = type; }

    // The counterpart in the other structure of a comparison, set by the comparer. Linking
    // makes each the other's counterpart and frees both from earlier partners.
    TDbObj* RefObj() const { return refObj_; }
    void SetRefObj(TDbObj* obj);
    TCustomObjs* Objs() const { return objs_; }

    std::string Description;
    // Source of the body: procedure, trigger, view select, computed column, check condition.
    std::string Body;
    // Definition snapshot taken after extraction, and the definition as currently known while
    // the script is generated.
    std::string SourceDefinition;
    std::string CurrentDefinition;
    // The name the server generated for an object the user left unnamed (a constraint).
    std::string SysName;
    // An excluded object renders no CREATE text and no description.
    bool CompExclude = false;

    // Objects that use this one, and objects this one uses.
    const DependList& UseIn() const { return useIn_; }
    const DependList& UseOf() const { return useOf_; }

    // Shortcuts into the collection.
    TDatabaseType DatabaseType() const;
    // The collection's Firebird options; null without a collection.
    const TIBServerOptions* IBServerOptions() const;
    TCmpObjSetType CompareObjects() const;
    TCustomSQLExec* SQLExec() const;
    TUpdateDescriptionType UpdateDescriptionMode() const;
    std::string db_prefix() const;

    bool ObjCreated() const { return GetObjCreated(); }
    std::string Caption() const { return GetCaption(); }
    std::string ObjKeyDef() const { return GetObjKeyDef(); }
    // The name without the structure's prefix; with the other structure's prefix in front.
    std::string ShortObjName() const;
    std::string RefObjName() const;
    // The name as DDL writes it (quoted where needed).
    std::string ObjFullName() const;
    // Whether an active dependent exists that is created, or an active dependency that is not.
    bool UseInActive() const;
    bool UseOfActive() const;

    virtual bool GetObjCreated() const { return objCreated_; }
    // Stores the flag and the same value directly in the counterpart's flag.
    virtual void SetObjCreated(bool value);
    virtual std::string GetCaption() const;
    // The key the collection files the object under: the name (without the structure's prefix).
    virtual std::string GetObjKeyDef() const;
    // The complete DDL that creates the object; empty in the base.
    virtual std::string Def() const { return {}; }
    // Puts the object's CREATE into the script after creating what it uses.
    virtual void CreateDependDef();
    // Puts the object's DROP into the script after dropping or emptying what uses it.
    virtual void DropDependDef();
    virtual void DoBeforeDrop();
    virtual void DoAfterDrop() { SetObjCreated(false); }
    virtual void DoBeforeCreate();
    virtual void DoAfterCreate() { SetObjCreated(true); }
    virtual std::string CreateDef() const;
    virtual std::string DropDef() const;
    virtual std::string AlterDef() const { return "/* Alter <...> */"; }
    virtual std::string SourceDef();

    // Text deciding whether two counterparts are equal.
    std::string CompareDef() const { return Def(); }
    std::string GenComment(std::string_view comment) const;
    std::string QuoteIdent(std::string_view ident) const;
    // The description statement for the configured description mode; empty when descriptions
    // are not compared or the object is excluded.
    std::string DescriptionDef() const;

protected:
    // Adds a statement to the collection's script builder; nothing without one.
    TStatement* AddToScript(std::string_view text, TStatType typ, std::string_view objName,
                            TDbObject objType, TDbOperation operation,
                            std::string_view ownName = {}) const;
    void AddDescriptionOf(const TDbObj& obj) const;
    void SetUseOfInactive();

private:
    friend class TCustomObjs;
    std::string DescriptionText(std::string_view q, std::string_view l) const;
    void LogBeforeCreate() const;
    void CreateDependencies();
    void DropDependents();

    TDbObj* refObj_ = nullptr;
    TCustomObjs* objs_;
    bool objCreated_ = true;
    DependList useIn_;
    DependList useOf_;
    std::string objName_;
    TDbObject objType_ = dboUnknown;
};

// One direction of a dependency: in the user's UseOf list it names the used object, in the
// used object's UseIn list the user. Active until the dependency has been handled once while a
// script is generated.
class TDependObj : public TDbObj {
public:
    TDependObj(TCustomObjs* objs, TDbObj& obj, int posY, int posX);
    std::string_view ClassName() const override { return "TDependObj"; }
    std::string GetCaption() const override;

    // A column of Obj the dependency goes through; dependencies on columns are recorded on the
    // column object instead, so this stays empty in the records the engine creates.
    std::string ObjField;
    TDbObj* Obj;
    bool Active = true;
    // Column and line of the reference in the body text; -1 for catalogue dependencies.
    int PosX;
    int PosY;
};

template <class T>
using ObjList = platform::StringList<std::unique_ptr<T>>;

// Asked before an object is filed; may refuse it by clearing accept.
using TAccept_ObjEvent = std::function<void(platform::Object& sender, TDbObj& obj, bool& accept)>;

// All schema objects of one database in name-keyed, sorted, case-sensitive lists per kind, with
// the options that describe the database and its place in a comparison. Owns its objects.
class TCustomObjs : public platform::Object {
public:
    TCustomObjs();
    ~TCustomObjs() override;

    TCustomDBStructure* DBStructure() const { return dbStructure_; }
    void SetDBStructure(TCustomDBStructure* structure) { dbStructure_ = structure; }
    // The collection of the other database in a comparison.
    TCustomObjs* LinkedObjs() const { return linkedObjs_; }
    void SetLinkedObjs(TCustomObjs* objs) { linkedObjs_ = objs; }
    TCustomSQLExec* SQLExec() const { return sqlExec_; }
    void SetSQLExec(TCustomSQLExec* sqlExec) { sqlExec_ = sqlExec; }

    TDatabaseType DatabaseType() const { return databaseType_; }
    void SetDatabaseType(TDatabaseType value) { databaseType_ = value; }
    TCompareRoleType CompareRole() const { return compareRole_; }
    void SetCompareRole(TCompareRoleType value) { compareRole_ = value; }

    TConnectionOptions& ConnectionOptions() { return connectionOptions_; }
    const TConnectionOptions& ConnectionOptions() const { return connectionOptions_; }
    TIBServerOptions& IBServerOptions() { return ibServerOptions_; }
    const TIBServerOptions& IBServerOptions() const { return ibServerOptions_; }

    std::string TermString = ";";
    TCmpObjSetType CompareObjects = DefCmpObjSet;
    std::string DBDescription;
    TExtractFromType ExtractFrom = efUnknown;
    TLogNextLineEvent OnLogNextLine;
    TAccept_ObjEvent OnAccept_Obj;

    // The per-kind lists, sorted by key (set up so by the constructor); objects owned.
    ObjList<TDmnData> Dmn;
    ObjList<TUdfData> Udf;
    ObjList<TTrgData> Trg;
    ObjList<TPrcData> Prc;
    ObjList<TTblData> Tbl;
    ObjList<TExcData> Exc;
    ObjList<TGnrData> Gnr;
    ObjList<TIdxData> Idx;
    ObjList<TViwData> Viw;
    ObjList<TRolData> Rol;
    ObjList<TGntData> Gnt;
    ObjList<TCtrData> Ctr;
    ObjList<TPkgData> Pkg;

    // Files an object under its key in the list of its class and returns it. Returns null and
    // destroys the object when it is refused: not accepted by the extractor or OnAccept_Obj, an
    // "IBE$" object while IgnoreIBEObjects is on, a class no list holds (reported), or a key the
    // list already holds (the filed object stays).
    TDbObj* AddObj(std::unique_ptr<TDbObj> obj);
    template <class T>
    T* AddObj(std::unique_ptr<T> obj) {
        return static_cast<T*>(AddObj(std::unique_ptr<TDbObj>(std::move(obj))));
    }
    // Files a grant, or merges it into an equal filed one (then returns null and destroys it).
    TGntData* AddGrant(std::unique_ptr<TGntData> grant);
    // Re-keys the grant list after merges changed its grants.
    void SortGrants();

    // Records that d1 uses d2, in both objects' lists; a field name names a column of d2 (or of
    // d1 when d1 is a table and d2 a constraint or domain), and the dependency is recorded on
    // the column object. Recording the same dependency twice keeps one pair of records.
    void LinkDepend(TDbObj* d1, TDbObj* d2, int posY = -1, int posX = -1,
                    std::string_view fldName = {});
    // Removes every dependency record, in any object of the collection, that refers to obj.
    void RemoveDepend(const TDbObj* obj);

    TDmnData* GetDomain(std::string_view name) const;
    TTblData* GetTable(std::string_view name) const;
    TViwData* GetView(std::string_view name) const;
    TPrcData* GetProcedure(std::string_view name) const;
    TTrgData* GetTrigger(std::string_view name) const;
    TGnrData* GetGenerator(std::string_view name) const;
    TExcData* GetException(std::string_view name) const;
    TIdxData* GetIndex(std::string_view name) const;
    TUdfData* GetFunction(std::string_view name) const;
    TPkgData* GetPackage(std::string_view name) const;
    TCtrData* GetConstraint(std::string_view key) const;
    TFldData* GetTableField(std::string_view table, std::string_view field) const;
    TFldData* GetViewField(std::string_view view, std::string_view field) const;
    // An input parameter of that name, else an output parameter.
    TFldData* GetProcParam(std::string_view procedure, std::string_view param) const;
    TRolData* GetRole(std::string_view name) const;

    // This collection when it plays the role, else the linked one (either may be null).
    TCustomObjs* GetObjsMaster();
    TCustomObjs* GetObjsTarget();
    int ODSMajorVersionOfTarget() const;
    std::string db_prefix() const;
    std::string DbConnectStr() const;

    // To the collection's own log sink, else the extractor's, else the script builder's.
    void DoLogNextLine(const std::string& text);
    // To the structure's extractor; nothing without one.
    void ErrMsg(const std::string& text);

    // Frees every object and resets the database facts; options, role and link survive.
    virtual void Clear();
    virtual void SetSourceDefinition() {}

private:
    const TCustomObjs* ObjsInRole(TCompareRoleType role) const;

    TCustomDBStructure* dbStructure_ = nullptr;
    TCustomObjs* linkedObjs_ = nullptr;
    TCustomSQLExec* sqlExec_ = nullptr;
    TDatabaseType databaseType_ = dbAbstract;
    TCompareRoleType compareRole_ = crUnknownRole;
    TConnectionOptions connectionOptions_;
    TIBServerOptions ibServerOptions_;
};

// The component holding the extracted schema of one database: it owns one collection and
// knows the extractor that fills it.
class TCustomDBStructure : public platform::Component {
public:
    ~TCustomDBStructure() override;

    TCustomObjs* Objs() const { return objs_.get(); }
    TCustomExtract* Extractor() const { return extractor_; }
    // Set and reset by the extractor when it is bound to this structure.
    void SetExtractor(TCustomExtract* extractor) { extractor_ = extractor; }
    TDatabaseType DatabaseType() const { return objs_ ? objs_->DatabaseType() : dbAbstract; }
    void SetDatabaseType(TDatabaseType value) {
        if (objs_)
            objs_->SetDatabaseType(value);
    }

    // Optional name prefix of this database's objects.
    std::string db_prefix;

    // Clears the collection and the prefix; called before every extraction.
    virtual void Clear();

protected:
    explicit TCustomDBStructure(std::unique_ptr<TCustomObjs> objs);
    void notification(platform::Component& dying) override;

private:
    std::unique_ptr<TCustomObjs> objs_;
    TCustomExtract* extractor_ = nullptr;
};

// The part of an extractor that a structure and its collection talk to: the binding to the
// structure, the name test objects pass before they are filed, and the log and error sinks.
// The reading itself belongs to the database-specific extractor.
class TCustomExtract : public platform::Component {
public:
    ~TCustomExtract() override;

    TCustomDBStructure* DBStructure() const { return structure_; }
    virtual void SetDBStructure(TCustomDBStructure* value);

    // Whether an object of that name and kind may be filed; the base accepts every object.
    virtual bool AcceptObj(const std::string& name, TDbObject kind);
    // To OnErrorMessage, else a message box; always filed as an error message.
    virtual void DoErrorMessage(const std::string& text);

    TMsgManager& MsgManager() { return msgMngr_; }
    TLogNextLineEvent OnLogNextLine;
    TErrorMessageEvent OnErrorMessage;

protected:
    void notification(platform::Component& dying) override;

private:
    TCustomDBStructure* structure_ = nullptr;
    TMsgManager msgMngr_;
};

// One statement of a script, owned by its builder.
class TStatement {
public:
    explicit TStatement(TCustomSQLExec* sqlExec) : sqlExec_(sqlExec) {}
    TCustomSQLExec* SQLExec() const { return sqlExec_; }

    // Object name and the operation's caption, e.g. "CUSTOMER: create".
    std::string GetCaption() const;

    std::vector<std::string> Text;
    TStatType Typ = stStatement;
    // Line of the statement in the last rendered script (0-based).
    std::int32_t Line = 0;
    // Number of text lines when added.
    std::int32_t Len = 0;
    bool Disabled = false;
    TDbObject ObjType = dboUnknown;
    TDbOperation Operation = odbUnknown;
    std::string ObjName;
    std::string OwnName;
    std::string Description;
    bool Select = false;
    std::string ErrMsg;
    std::string Term;

private:
    TCustomSQLExec* sqlExec_;
};

// Asked before a statement joins the list; may refuse it by clearing accept.
using TStatementAddEvent =
    std::function<void(platform::Object& sender, TStatement& statement, bool& accept)>;

// The statement list and its building interface; rendering and execution come with the
// concrete builders.
class TCustomSQLExec : public platform::Component {
public:
    TCustomSQLExec();
    ~TCustomSQLExec() override;

    TDatabaseType DatabaseType = dbAbstract;
    // The file last loaded.
    std::string ScriptFileName;
    // Errors reported since the last run began.
    int Errors = 0;
    TLogNextLineEvent OnLogNextLine;
    TProgressUpdateEvent OnProgressUpdate;
    TErrorMessageEvent OnErrorMessage;
    TStatementAddEvent OnStatementAdd;
    TLoadScriptEvent OnLoadScript;

    // Running count of script lines added.
    std::int32_t Line() const { return line_; }
    // Whether the list holds a statement that changes the database.
    bool IsUpdate() const { return isUpdate_; }
    TMsgManager& MsgManager() { return msgMngr_; }

    virtual void DoLogNextLine(const std::string& text);
    virtual void DoProgressUpdate(int position, int maximum);
    // To OnErrorMessage, else a message box; counted in Errors either way.
    virtual void DoErrorMessage(const std::string& text);
    void DoMsgErr(const std::string& text, const TDbObj* obj);
    void DoMsgWrn(const std::string& text, const TDbObj* obj);

    // Loads a script through OnLoadScript, else from the file; a missing file is reported.
    virtual void LoadFromFile(const std::string& fileName);
    // Reads the stream as text lines (none for no stream) and hands them to LoadScript.
    virtual void LoadFromStream(std::istream* stream);
    virtual void LoadScript(const std::vector<std::string>& lines);

    // Appends a statement and returns it; returns null when the text is empty (only a comment
    // may be empty) or OnStatementAdd refuses it. An empty terminator means the default one.
    virtual TStatement* Add(std::string_view text, TStatType typ, std::string_view objName = {},
                            TDbObject objType = dboUnknown, TDbOperation operation = odbUnknown,
                            std::string_view ownName = {}, std::string_view term = {});
    // Callers pass the complete comment, markers included.
    virtual TStatement* AddComment(std::string_view comment) = 0;
    virtual void AddReConnect() = 0;
    virtual void Add_Commit() = 0;
    TStatement* AddDescription(const TDbObj& obj);
    virtual void Clear();
    void Delete(std::size_t index);
    // Appends the rendered script to lines.
    virtual void GetScript(std::vector<std::string>& lines, bool lineReNumber) = 0;
    virtual bool ExecuteScript();

    std::size_t StatementsCount() const { return statements_.size(); }
    TStatement& Statements(std::size_t index) { return *statements_.at(index); }
    const TStatement& Statements(std::size_t index) const { return *statements_.at(index); }
    // Position of the statement in the list, or -1.
    std::ptrdiff_t IndexOf(const TStatement* statement) const;
    void SelectAll(bool select);

protected:
    void SetLine(std::int32_t line) { line_ = line; }

private:
    std::vector<std::unique_ptr<TStatement>> statements_;
    std::int32_t line_ = 0;
    bool isUpdate_ = false;
    TMsgManager msgMngr_;
};

// The identifier as DDL for the database kind must spell it; for Firebird the dialect-3 rule.
std::string Quote_Ident(std::string_view ident, TDatabaseType databaseType,
                        TIBSQLServerVersionType serverVersion, int sqlDialect);

// Splits a text into lines at CR LF, LF or CR; a final line break ends the last line.
std::vector<std::string> SplitLines(std::string_view text);
// Removes leading and trailing blanks and control characters.
std::string_view TrimText(std::string_view text);

} // namespace dbc
