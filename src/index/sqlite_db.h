// A thin owner of an SQLite connection and its prepared statements, for the
// archive index: every failure becomes an IndexError that says which
// database and why, so that no caller forgets to look at a result code.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>

struct sqlite3;
struct sqlite3_stmt;

namespace velmora::index {

class IndexError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A value of a column: NULL, text, integer or real.
using SqlValue = std::variant<std::monostate, std::string, std::int64_t, double>;

class Statement;

enum class OpenMode { ReadOnly, ReadWrite, Create };

class Database {
public:
    // Opens the database at `path`, a UTF-8 path; Create makes it when it
    // does not exist. Another process's write is waited for up to
    // `busySeconds`.
    Database(const std::string& path, OpenMode mode, int busySeconds);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Runs one or more statements that take no parameters.
    void execute(std::string_view sql);
    Statement prepare(std::string_view sql);
    std::int64_t lastInsertId() const;
    // Makes `name(text)` an SQL function of this connection that gives
    // `function` of its argument (NULL for NULL); the function must not
    // throw and must depend on its argument only.
    void defineTextFunction(const char* name, std::string (*function)(std::string_view));
    const std::string& path() const { return path_; }

    // Throws the IndexError of the connection's last failure, said in words.
    [[noreturn]] void fail(std::string_view what) const;

private:
    std::string path_;
    sqlite3* connection_ = nullptr;
};

enum class TransactionFor { Writing, Reading };

// Everything done between begin and commit is kept whole or not at all: a
// transaction left without commit() (an exception, a stop) is rolled back.
// One for reading sees one state of the database throughout, and takes the
// file's lock once rather than for every statement.
class Transaction {
public:
    explicit Transaction(Database& db, TransactionFor purpose = TransactionFor::Writing);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& db_;
    bool open_ = true;
};

class Statement {
public:
    Statement(Database& db, sqlite3_stmt* statement) : db_(&db), statement_(statement) {}
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;

    // Parameters count from 1, as in SQL.
    Statement& bind(int index, std::string_view text);
    Statement& bind(int index, std::int64_t value);
    Statement& bind(int index, double value);
    Statement& bind(int index, const std::optional<double>& value);
    Statement& bindNull(int index);
    Statement& bindValue(int index, const SqlValue& value);

    // Steps once: true while it yields a row.
    bool step();
    // Steps to the end, for statements that yield no rows.
    void run();
    // Ready to be bound and stepped again.
    void reset();

    std::string text(int column) const;
    std::int64_t integer(int column) const;
    double real(int column) const;
    bool isNull(int column) const;
    SqlValue value(int column) const;

private:
    Database* db_;
    sqlite3_stmt* statement_;
};

} // namespace velmora::index
