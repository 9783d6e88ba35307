#include "settings/SqliteSettingsStore.h"

#include "platform/UniqueFd.h"
#include "settings/ConfigFolder.h"
#include "text/Strings.h"

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace elsetry {

namespace {

// Long enough to outwait another program's write at window close, short enough not to hang.
constexpr int BusyTimeoutMs = 10000;
constexpr int SchemaVersion = 1;

constexpr const char* Schema = R"sql(
CREATE TABLE IF NOT EXISTS registry_keys(
  root INTEGER NOT NULL,
  path TEXT NOT NULL COLLATE NOCASE,
  PRIMARY KEY(root, path));
CREATE TABLE IF NOT EXISTS registry_values(
  root INTEGER NOT NULL,
  path TEXT NOT NULL COLLATE NOCASE,
  name TEXT NOT NULL COLLATE NOCASE,
  kind INTEGER NOT NULL,
  data NOT NULL,
  PRIMARY KEY(root, path, name));
)sql";

// Rows of a key and of every key below it: ?1 root, ?2 path ("" for the whole root).
constexpr const char* SubtreeCondition =
    "root = ?1 AND (?2 = '' OR path = ?2 OR substr(path, 1, length(?2) + 1) = ?2 || '\\' COLLATE NOCASE)";

bool LessIgnoringCase(const std::string& A, const std::string& B)
{
    const int order = CompareText(A, B);
    return order != 0 ? order < 0 : A < B;
}

std::vector<std::string> SplitPath(const std::string& Path)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= Path.size()) {
        std::size_t end = Path.find('\\', start);
        if (end == std::string::npos)
            end = Path.size();
        if (end > start)
            names.push_back(Path.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

std::string JoinPath(const std::vector<std::string>& Names, std::size_t Count)
{
    std::string path;
    for (std::size_t i = 0; i < Count; ++i)
        path += (i ? "\\" : "") + Names[i];
    return path;
}

// mkdir -p for the folders above FileName; new folders are private to the user.
void MakeParentFolders(const std::string& FileName)
{
    for (std::size_t slash = FileName.find('/', 1); slash != std::string::npos;
         slash = FileName.find('/', slash + 1)) {
        const std::string folder = FileName.substr(0, slash);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            throw ESettingsError("Cannot create folder \"" + folder + "\": " + std::strerror(errno));
    }
}

// Creates the file with owner-only permissions before SQLite sees it (SQLite gives its WAL and
// shared-memory files the same permissions), and narrows an existing file's: it holds passwords.
void PrepareStoreFile(const std::string& FileName)
{
    MakeParentFolders(FileName);
    const TUniqueFd file(::open(FileName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (!file.Valid())
        return; // a read-only store still serves reads; SQLite reports what it cannot do
    struct stat info {};
    if (::fstat(file.Get(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() && (info.st_mode & 077))
        ::fchmod(file.Get(), 0600);
}

} // namespace

std::string SettingsStorePath()
{
    if (const char* file = std::getenv(SettingsStoreVariable); file && *file)
        return file;
    return UserConfigFolder() + "/Corriebrook/registry.sqlite3";
}

// One open database connection with the few statement helpers the store needs.
class TSqliteSettingsStore::TConnection {
public:
    explicit TConnection(const std::string& FileName) : Name(FileName)
    {
        PrepareStoreFile(FileName);
        sqlite3* handle = nullptr;
        const int rc = sqlite3_open_v2(FileName.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        Handle.reset(handle);
        if (rc != SQLITE_OK)
            throw ESettingsError("Cannot open settings store \"" + FileName + "\": "
                                 + (handle ? sqlite3_errmsg(handle) : sqlite3_errstr(rc)));
        sqlite3_busy_timeout(handle, BusyTimeoutMs);
        UseWriteAheadLog();
        if (UserVersion() < SchemaVersion)
            CreateSchema();
    }
    TConnection(const TConnection&) = delete;
    TConnection& operator=(const TConnection&) = delete;

    sqlite3* get() const { return Handle.get(); }

    void Exec(const char* Sql)
    {
        if (sqlite3_exec(get(), Sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw ESettingsError("Settings store \"" + Name + "\": " + sqlite3_errmsg(get()));
    }

private:
    struct TCloser {
        void operator()(sqlite3* Open) const { sqlite3_close(Open); }
    };

    void UseWriteAheadLog();
    int UserVersion();
    void CreateSchema();

    std::string Name;
    std::unique_ptr<sqlite3, TCloser> Handle;
};

namespace {

// A prepared statement; parameters bound in order from 1.
class TStatement {
public:
    TStatement(sqlite3* Connection, const char* Sql) : Db(Connection)
    {
        if (sqlite3_prepare_v2(Connection, Sql, -1, &Handle, nullptr) != SQLITE_OK)
            Fail();
    }
    ~TStatement() { sqlite3_finalize(Handle); }
    TStatement(const TStatement&) = delete;
    TStatement& operator=(const TStatement&) = delete;

    TStatement& Bind(std::int64_t Value)
    {
        Check(sqlite3_bind_int64(Handle, ++Bound, Value));
        return *this;
    }
    TStatement& Bind(const std::string& Text)
    {
        Check(sqlite3_bind_text(Handle, ++Bound, Text.data(), static_cast<int>(Text.size()), SQLITE_TRANSIENT));
        return *this;
    }
    // True while there is a row to read.
    bool Step()
    {
        const int rc = sqlite3_step(Handle);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            Fail();
        return rc == SQLITE_ROW;
    }
    std::int64_t Integer(int Column) const { return sqlite3_column_int64(Handle, Column); }
    std::string Text(int Column) const
    {
        const auto* text = sqlite3_column_text(Handle, Column);
        return text ? std::string(reinterpret_cast<const char*>(text),
                                  static_cast<std::size_t>(sqlite3_column_bytes(Handle, Column)))
                    : std::string();
    }
    int Changes() const { return sqlite3_changes(Db); }

private:
    void Check(int Rc) const
    {
        if (Rc != SQLITE_OK)
            Fail();
    }
    [[noreturn]] void Fail() const { throw ESettingsError(std::string("Settings store: ") + sqlite3_errmsg(Db)); }

    sqlite3* Db;
    sqlite3_stmt* Handle = nullptr;
    int Bound = 0;
};

// A transaction on the connection, rolled back unless committed. A write transaction is taken
// at once (BEGIN IMMEDIATE), so a busy store is waited for instead of failing when a reader turns
// writer. Inside a transaction that is already open it does nothing.
class TTransaction {
public:
    TTransaction(sqlite3* Connection, const char* Begin) : Db(Connection), Owner(sqlite3_get_autocommit(Connection) != 0)
    {
        if (Owner && sqlite3_exec(Db, Begin, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw ESettingsError(std::string("Settings store is busy: ") + sqlite3_errmsg(Db));
    }
    ~TTransaction()
    {
        if (Owner && !Committed)
            sqlite3_exec(Db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;

    void Commit()
    {
        if (Owner && sqlite3_exec(Db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK)
            throw ESettingsError(std::string("Settings store: ") + sqlite3_errmsg(Db));
        Committed = true;
    }

private:
    sqlite3* Db;
    bool Owner;
    bool Committed = false;
};

class TWriteScope : public TTransaction {
public:
    explicit TWriteScope(sqlite3* Connection) : TTransaction(Connection, "BEGIN IMMEDIATE") {}
};

using TFoldedPaths = std::map<std::string, std::string>; // folded path -> path as stored

// Each name of a key's path spelled as in the key's own row where the store holds one.
std::string SpelledPath(const std::string& Folded, const TFoldedPaths& Spelled)
{
    const std::vector<std::string> names = SplitPath(Spelled.at(Folded));
    std::string path;
    for (std::size_t count = 1; count <= names.size(); ++count) {
        const std::string prefix = JoinPath(names, count);
        const auto own = Spelled.find(LowerCase(prefix));
        path += "\\" + (own != Spelled.end() ? SplitPath(own->second).back() : names[count - 1]);
    }
    return path.empty() ? "\\" : path;
}

bool PathLess(const TStoredKey& A, const TStoredKey& B)
{
    const std::vector<std::string> a = SplitPath(LowerCase(A.Path));
    const std::vector<std::string> b = SplitPath(LowerCase(B.Path));
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end());
}

// Spelled holds every key of the tree and its parents; Values the values by folded key path.
std::vector<TStoredKey> BuildTree(const std::vector<std::string>& Keys, const TFoldedPaths& Spelled,
                                  std::map<std::string, std::vector<TStoredValue>>& Values)
{
    std::vector<TStoredKey> tree;
    for (const std::string& folded : Keys) {
        TStoredKey key{SpelledPath(folded, Spelled), std::move(Values[folded])};
        std::sort(key.Values.begin(), key.Values.end(),
                  [](const TStoredValue& A, const TStoredValue& B) { return LessIgnoringCase(A.Name, B.Name); });
        tree.push_back(std::move(key));
    }
    std::sort(tree.begin(), tree.end(), PathLess);
    return tree;
}

} // namespace

// Switching a new store file to WAL needs the file to itself. When two processes set up the same
// new file at once SQLite reports busy at once rather than waiting (waiting could deadlock in the
// old journal mode), so the wait happens here.
void TSqliteSettingsStore::TConnection::UseWriteAheadLog()
{
    constexpr int RetryMs = 10;
    for (int waited = 0;; waited += RetryMs) {
        const int rc = sqlite3_exec(get(), "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            return;
        if ((rc & 0xff) != SQLITE_BUSY || waited >= BusyTimeoutMs)
            throw ESettingsError("Settings store \"" + Name + "\": " + sqlite3_errmsg(get()));
        sqlite3_sleep(RetryMs);
    }
}

int TSqliteSettingsStore::TConnection::UserVersion()
{
    TStatement query(get(), "PRAGMA user_version");
    return query.Step() ? static_cast<int>(query.Integer(0)) : 0;
}

void TSqliteSettingsStore::TConnection::CreateSchema()
{
    TWriteScope scope(get());
    Exec(Schema);
    Exec(("PRAGMA user_version = " + std::to_string(SchemaVersion)).c_str());
    scope.Commit();
}

TSqliteSettingsStore::TSqliteSettingsStore(const std::string& FileName)
    : Db(std::make_unique<TConnection>(FileName))
{
}

TSqliteSettingsStore::~TSqliteSettingsStore() = default;

std::string TSqliteSettingsStore::Resolve(const std::string& Path) const
{
    const bool absolute = !Path.empty() && Path.front() == '\\';
    const std::vector<std::string> names = SplitPath(absolute || CurrentPath.empty() ? Path : CurrentPath + "\\" + Path);
    return JoinPath(names, names.size());
}

void TSqliteSettingsStore::SetRootKey(TRootKey NewRoot)
{
    Root = NewRoot;
    CurrentPath.clear();
}

bool TSqliteSettingsStore::KeyExists(const std::string& Path)
{
    const std::string path = Resolve(Path);
    if (path.empty())
        return true;
    TStatement query(Db->get(), "SELECT 1 FROM registry_keys WHERE root = ? AND path = ?");
    return query.Bind(Root).Bind(path).Step();
}

void TSqliteSettingsStore::EnsureKey(const std::string& Path)
{
    const std::vector<std::string> names = SplitPath(Path);
    for (std::size_t count = 1; count <= names.size(); ++count) {
        TStatement insert(Db->get(), "INSERT OR IGNORE INTO registry_keys(root, path) VALUES(?, ?)");
        insert.Bind(Root).Bind(JoinPath(names, count)).Step();
    }
}

bool TSqliteSettingsStore::OpenKey(const std::string& Path, bool CanCreate)
{
    const std::string path = Resolve(Path);
    if (!KeyExists("\\" + path)) {
        if (!CanCreate)
            return false;
        TWriteScope scope(Db->get());
        EnsureKey(path);
        scope.Commit();
    }
    CurrentPath = path;
    return true;
}

bool TSqliteSettingsStore::ValueExists(const std::string& Name)
{
    TStatement query(Db->get(), "SELECT 1 FROM registry_values WHERE root = ? AND path = ? AND name = ?");
    return query.Bind(Root).Bind(CurrentPath).Bind(Name).Step();
}

std::string TSqliteSettingsStore::ReadString(const std::string& Name)
{
    TStatement query(Db->get(), "SELECT kind, data FROM registry_values WHERE root = ? AND path = ? AND name = ?");
    if (!query.Bind(Root).Bind(CurrentPath).Bind(Name).Step())
        return {};
    if (query.Integer(0) != static_cast<int>(TValueKind::String))
        throw ESettingsError("Settings value \"" + Name + "\" is not a string");
    return query.Text(1);
}

bool TSqliteSettingsStore::ReadBool(const std::string& Name)
{
    TStatement query(Db->get(), "SELECT kind, data FROM registry_values WHERE root = ? AND path = ? AND name = ?");
    if (!query.Bind(Root).Bind(CurrentPath).Bind(Name).Step())
        throw ESettingsError("Settings value \"" + Name + "\" does not exist");
    if (query.Integer(0) != static_cast<int>(TValueKind::Integer))
        throw ESettingsError("Settings value \"" + Name + "\" is not an integer");
    return query.Integer(1) != 0;
}

void TSqliteSettingsStore::WriteValue(const std::string& Name, TValueKind Kind, const std::string& Text,
                                      std::int64_t Integer)
{
    // The key is made sure of in the same transaction: another process may have removed it
    // since it was opened.
    TWriteScope scope(Db->get());
    EnsureKey(CurrentPath);
    TStatement upsert(Db->get(),
        "INSERT INTO registry_values(root, path, name, kind, data) VALUES(?, ?, ?, ?, ?) "
        "ON CONFLICT(root, path, name) DO UPDATE SET kind = excluded.kind, data = excluded.data");
    upsert.Bind(Root).Bind(CurrentPath).Bind(Name).Bind(static_cast<int>(Kind));
    if (Kind == TValueKind::String)
        upsert.Bind(Text);
    else
        upsert.Bind(Integer);
    upsert.Step();
    scope.Commit();
}

void TSqliteSettingsStore::WriteString(const std::string& Name, const std::string& Text)
{
    WriteValue(Name, TValueKind::String, Text, 0);
}

void TSqliteSettingsStore::WriteBool(const std::string& Name, bool Flag)
{
    WriteValue(Name, TValueKind::Integer, {}, Flag ? 1 : 0);
}

void TSqliteSettingsStore::WriteInteger(const std::string& Name, std::uint32_t Value)
{
    WriteValue(Name, TValueKind::Integer, {}, Value);
}

bool TSqliteSettingsStore::DeleteValue(const std::string& Name)
{
    TStatement remove(Db->get(), "DELETE FROM registry_values WHERE root = ? AND path = ? AND name = ?");
    remove.Bind(Root).Bind(CurrentPath).Bind(Name).Step();
    return remove.Changes() > 0;
}

bool TSqliteSettingsStore::DeleteKey(const std::string& Path)
{
    const std::string path = Resolve(Path);
    if (path.empty())
        return false;
    TWriteScope scope(Db->get());
    TStatement keys(Db->get(), (std::string("DELETE FROM registry_keys WHERE ") + SubtreeCondition).c_str());
    keys.Bind(Root).Bind(path).Step();
    const bool existed = keys.Changes() > 0;
    TStatement values(Db->get(), (std::string("DELETE FROM registry_values WHERE ") + SubtreeCondition).c_str());
    values.Bind(Root).Bind(path).Step();
    scope.Commit();
    return existed;
}

std::vector<TStoredKey> TSqliteSettingsStore::ReadTree(const std::string& Path)
{
    const std::string path = Resolve(Path);
    // One read transaction, so the tree is seen as it stood at one moment.
    TTransaction snapshot(Db->get(), "BEGIN");
    if (!KeyExists("\\" + path))
        return {};
    TFoldedPaths spelled{{"", ""}};
    std::vector<std::string> keys;
    if (path.empty())
        keys.push_back("");
    const std::vector<std::string> names = SplitPath(path);
    for (std::size_t count = 1; count < names.size(); ++count) {
        TStatement parent(Db->get(), "SELECT path FROM registry_keys WHERE root = ? AND path = ?");
        if (parent.Bind(Root).Bind(JoinPath(names, count)).Step())
            spelled.emplace(LowerCase(parent.Text(0)), parent.Text(0));
    }
    TStatement rows(Db->get(), (std::string("SELECT path FROM registry_keys WHERE ") + SubtreeCondition).c_str());
    for (rows.Bind(Root).Bind(path); rows.Step();) {
        keys.push_back(LowerCase(rows.Text(0)));
        spelled.emplace(keys.back(), rows.Text(0));
    }
    std::map<std::string, std::vector<TStoredValue>> values = ReadValues(path);
    return BuildTree(keys, spelled, values);
}

std::map<std::string, std::vector<TStoredValue>> TSqliteSettingsStore::ReadValues(const std::string& Path)
{
    std::map<std::string, std::vector<TStoredValue>> values;
    TStatement rows(Db->get(),
        (std::string("SELECT path, name, kind, data FROM registry_values WHERE ") + SubtreeCondition).c_str());
    for (rows.Bind(Root).Bind(Path); rows.Step();) {
        TStoredValue value{rows.Text(1), static_cast<TValueKind>(rows.Integer(2)), {}, 0};
        if (value.Kind == TValueKind::String)
            value.Text = rows.Text(3);
        else
            value.Integer = static_cast<std::uint32_t>(rows.Integer(3));
        values[LowerCase(rows.Text(0))].push_back(std::move(value));
    }
    return values;
}

void TSqliteSettingsStore::InTransaction(const std::function<void()>& Work)
{
    TWriteScope scope(Db->get());
    Work();
    scope.Commit();
}

std::unique_ptr<TSettingsStore> OpenSettingsStore()
{
    return std::make_unique<TSqliteSettingsStore>(SettingsStorePath());
}

} // namespace elsetry
