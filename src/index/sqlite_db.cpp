#include "index/sqlite_db.h"

#include "platform/private_file.h"

#include <sqlite3.h>

#include <climits>

namespace velmora::index {
namespace {

// What a person can act on, for the failures a person can cause; none for
// the others, which are told in SQLite's words.
std::optional<std::string> plainReasonOf(sqlite3* connection) {
    switch (sqlite3_extended_errcode(connection) & 0xff) {
    case SQLITE_NOTADB:
        return "not an SQLite database";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return "in use by another process; try again when it has finished";
    case SQLITE_CANTOPEN:
        return "cannot be opened";
    case SQLITE_READONLY:
        return "is read-only";
    case SQLITE_CORRUPT:
        return "is damaged";
    case SQLITE_FULL:
        return "the disk is full";
    default:
        return std::nullopt;
    }
}

int lengthOf(std::string_view text) {
    if (text.size() > INT_MAX)
        throw IndexError("a text too long for the index");
    return static_cast<int>(text.size());
}

int openFlags(OpenMode mode) {
    switch (mode) {
    case OpenMode::ReadOnly:
        return SQLITE_OPEN_READONLY;
    case OpenMode::ReadWrite:
        return SQLITE_OPEN_READWRITE;
    case OpenMode::Create:
        break;
    }
    return SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
}

// SQLite counts every allocation under one process-wide lock unless told
// otherwise before its first use. Nothing here reads those counts, and
// sixteen searches at once spent a sixth of their time on that lock. Where
// SQLite is in use already, it refuses the change, which leaves all as it was.
void leaveAllocationsUncounted() {
    static const bool told = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        return true;
    }();
    static_cast<void>(told);
}

void callTextFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    const int length = sqlite3_value_bytes(arguments[0]);
    if (!text) {
        sqlite3_result_error_nomem(context);
        return;
    }
    const auto function =
        reinterpret_cast<std::string (*)(std::string_view)>(sqlite3_user_data(context));
    try {
        const std::string result =
            function(std::string_view(text, static_cast<std::size_t>(length)));
        sqlite3_result_text64(context, result.data(), result.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(context);
    }
}

} // namespace

Database::Database(const std::string& path, OpenMode mode, int busySeconds) : path_(path) {
    leaveAllocationsUncounted();
    // The index holds every party, address and amount of an archive.
    if (mode == OpenMode::Create)
        makeOwnerOnlyFile(path);
    const int flags = openFlags(mode) | SQLITE_OPEN_NOMUTEX;
    const int result = sqlite3_open_v2(path.c_str(), &connection_, flags, nullptr);
    if (result != SQLITE_OK) {
        const std::string reason =
            connection_ ? plainReasonOf(connection_).value_or(sqlite3_errmsg(connection_))
                        : "out of memory";
        sqlite3_close(connection_);
        connection_ = nullptr;
        throw IndexError(path + ": " + reason);
    }
    sqlite3_busy_timeout(connection_, busySeconds * 1000);
    sqlite3_extended_result_codes(connection_, 1);
    // What a deleted row held is overwritten, not left in free space: the
    // index holds personal information, and a deal removed must leave none.
    if (mode != OpenMode::ReadOnly)
        execute("PRAGMA secure_delete = ON");
}

Database::~Database() {
    sqlite3_close(connection_);
}

void Database::fail(std::string_view what) const {
    const std::optional<std::string> plain = plainReasonOf(connection_);
    throw IndexError(
        path_ + ": " +
        (plain ? *plain
               : sqlite3_errmsg(connection_) + std::string(" (") + std::string(what) + ")"));
}

void Database::defineTextFunction(const char* name, std::string (*function)(std::string_view)) {
    constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    if (sqlite3_create_function_v2(connection_, name, 1, kFlags, reinterpret_cast<void*>(function),
                                   callTextFunction, nullptr, nullptr, nullptr) != SQLITE_OK)
        fail("defining a function");
}

void Database::execute(std::string_view sql) {
    const std::string text(sql);
    if (sqlite3_exec(connection_, text.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        fail(text.substr(0, text.find_first_of("(\n")));
}

Statement Database::prepare(std::string_view sql) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(connection_, sql.data(), lengthOf(sql), &statement, nullptr) !=
        SQLITE_OK)
        fail("preparing a query");
    return Statement(*this, statement);
}

std::int64_t Database::lastInsertId() const {
    return sqlite3_last_insert_rowid(connection_);
}

Transaction::Transaction(Database& db, TransactionFor purpose) : db_(db) {
    db_.execute(purpose == TransactionFor::Writing ? "BEGIN IMMEDIATE" : "BEGIN");
}

Transaction::~Transaction() {
    if (!open_)
        return;
    try {
        db_.execute("ROLLBACK");
    } catch (const IndexError&) {
        // SQLite has rolled back on its own after the failure that led here.
    }
}

void Transaction::commit() {
    db_.execute("COMMIT");
    open_ = false;
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

Statement::Statement(Statement&& other) noexcept : db_(other.db_), statement_(other.statement_) {
    other.statement_ = nullptr;
}

Statement& Statement::bind(int index, std::string_view text) {
    if (sqlite3_bind_text(statement_, index, text.data(), lengthOf(text), SQLITE_TRANSIENT) !=
        SQLITE_OK)
        db_->fail("binding a value");
    return *this;
}

Statement& Statement::bind(int index, std::int64_t value) {
    if (sqlite3_bind_int64(statement_, index, value) != SQLITE_OK)
        db_->fail("binding a value");
    return *this;
}

Statement& Statement::bind(int index, double value) {
    if (sqlite3_bind_double(statement_, index, value) != SQLITE_OK)
        db_->fail("binding a value");
    return *this;
}

Statement& Statement::bind(int index, const std::optional<double>& value) {
    return value ? bind(index, *value) : bindNull(index);
}

Statement& Statement::bindNull(int index) {
    if (sqlite3_bind_null(statement_, index) != SQLITE_OK)
        db_->fail("binding a value");
    return *this;
}

Statement& Statement::bindValue(int index, const SqlValue& value) {
    return std::visit(
        [&](const auto& held) -> Statement& {
            using Held = std::decay_t<decltype(held)>;
            if constexpr (std::is_same_v<Held, std::monostate>)
                return bindNull(index);
            else if constexpr (std::is_same_v<Held, std::string>)
                return bind(index, std::string_view(held));
            else
                return bind(index, held);
        },
        value);
}

bool Statement::step() {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE)
        db_->fail("running a query");
    return false;
}

void Statement::run() {
    while (step()) {
    }
    reset();
}

void Statement::reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

std::string Statement::text(int column) const {
    const auto* bytes = sqlite3_column_text(statement_, column);
    if (!bytes)
        return {};
    return std::string(reinterpret_cast<const char*>(bytes),
                       static_cast<std::size_t>(sqlite3_column_bytes(statement_, column)));
}

std::int64_t Statement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

double Statement::real(int column) const {
    return sqlite3_column_double(statement_, column);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

SqlValue Statement::value(int column) const {
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
        return integer(column);
    case SQLITE_FLOAT:
        return real(column);
    case SQLITE_TEXT:
    case SQLITE_BLOB:
        return text(column);
    default:
        return {};
    }
}

} // namespace velmora::index
