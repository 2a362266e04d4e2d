// `velmora serve` as an office starts it: the options it refuses before it
// listens anywhere (a network address without a token, a weak token, half of
// HTTPS, an address that is none, a users file that is not one); people
// added and removed, each token shown once; a real run with a users file;
// and a real run on a second loopback address standing in for the network,
// with a token and a certificate made here: HTTPS serves the login page, the
// cookie is marked Secure, and SIGTERM ends the run as a normal end.
#include "cli/cli_runner.h"
#include "serve/raw_http.h"
#include "serve/users_file.h"
#include "support/index_archive.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

namespace velmora::testing {
namespace {

const std::string kToken = "9b2e4f60a1c37d58e0f2a4b6c8d0e1f3";

// A port of `host` free a moment ago: the tool takes no port 0.
int freePort(const char* host) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    ::inet_pton(AF_INET, host, &address.sin_addr);
    socklen_t size = sizeof address;
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), size) == 0 &&
                       ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    ::close(fd);
    return bound ? ntohs(address.sin_port) : 0;
}

// The tool running `serve` until the test stops it, killed if the test
// ends first.
class ServeRun {
public:
    explicit ServeRun(std::vector<std::string> args) {
        args.insert(args.begin(), {VELMORA_CLI_PATH, "serve"});
        if (startProgram(args, streams_.file("out"), streams_.file("err"), pid_) != 0)
            pid_ = 0;
    }
    ~ServeRun() {
        if (pid_ == 0)
            return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    ServeRun(const ServeRun&) = delete;
    ServeRun& operator=(const ServeRun&) = delete;

    // Whether it says it serves: the line that tells the address, printed
    // once it listens.
    bool serving() {
        for (int wait = 0; wait < kPatienceSeconds * 20 && pid_ != 0; ++wait) {
            if (out().find("; Ctrl-C stops\n") != std::string::npos)
                return true;
            if (exited())
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Its exit code after `signal`; -1 when it did not exit in time.
    int stop(int signal) {
        ::kill(pid_, signal);
        for (int wait = 0; wait < kPatienceSeconds * 20; ++wait) {
            if (exited())
                return exitCode_;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }

    std::string out() const { return readBytes(streams_.file("out")); }
    std::string err() const { return readBytes(streams_.file("err")); }

private:
    bool exited() {
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) != pid_)
            return false;
        pid_ = 0;
        exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    }

    TempFolder streams_;
    pid_t pid_ = 0;
    int exitCode_ = -1;
};

class ServeCli : public ::testing::Test {
protected:
    ServeCli() {
        savePurchase(deals_, "Dana Whitlock");
        writeBytes(token_, kToken + "\n");
    }

    CliRun serve(std::vector<std::string> args) {
        args.insert(args.begin(), {"serve", "--db", db_});
        return runCli(args);
    }

    TempFolder folder_;
    const std::string deals_ = folder_.file("deals/purchase.hud");
    const std::string db_ = folder_.file("index.db");
    const std::string token_ = folder_.file("token");
};

TEST_F(ServeCli, UnsafeOrBrokenOptionsAreRefusedBeforeListening) {
    CliRun run = serve({"--listen", "0.0.0.0:18080"});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: 0.0.0.0 reaches other machines: give --users or --token-file, "
                       "so that people log in\n");
    run = serve({"--listen", "[::]:18080"});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_NE(run.err.find("--token-file"), std::string::npos) << run;

    writeBytes(token_, "short-token\n");
    run = serve({"--listen", "127.0.0.2:18080", "--token-file", token_});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: " + token_ +
                           ": the token is shorter than 22 characters (128 bits); make one of 32 "
                           "hexadecimal digits or more\n");
    run = serve({"--token-file", folder_.file("missing")});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: " + folder_.file("missing") + ": the token file cannot be read\n");

    const std::string users = folder_.file("users");
    writeBytes(users, "dana:" + kToken + "\n");
    run = serve({"--users", users});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: " + users + ", line 1: it is not NAME:SALT:HASH\n");
    run = serve({"--users", users, "--token-file", token_});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: give --users (a token for each person) or --token-file (one for "
                       "all), not both\n");
    run = serve({"--session-idle", "0"});
    EXPECT_EQ(run.exitCode, 2) << run;

    run = serve({"--tls-cert", folder_.file("cert.pem")});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: HTTPS needs both --tls-cert and --tls-key\n");

    for (const std::string listen : {"nonsense", "127.0.0.1:0", "127.0.0.1:65536", "[::1]"}) {
        run = serve({"--listen", listen});
        EXPECT_EQ(run.exitCode, 2) << run;
        EXPECT_TRUE(run.err.starts_with("--listen: takes ADDR:PORT")) << run;
    }
    EXPECT_FALSE(std::filesystem::exists(db_));
}

TEST_F(ServeCli, PeopleAreAddedWithATokenShownOnceAndLogInWithIt) {
    const std::string users = folder_.file("users");
    CliRun run = serve({"--add-user", "dana", "--users", users});
    ASSERT_EQ(run.exitCode, 0) << run;
    ASSERT_EQ(run.out.size(), 33u) << run;
    const std::string token = run.out.substr(0, 32);
    EXPECT_EQ(token.find_first_not_of("0123456789abcdef"), std::string::npos) << run;
    EXPECT_NE(run.err.find("shown this once"), std::string::npos) << run;
    EXPECT_EQ(std::filesystem::status(users).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    EXPECT_EQ(readBytes(users).find(token), std::string::npos);
    ASSERT_EQ(serve::readUsersFile(users).size(), 1u);

    run = serve({"--add-user", "dana", "--users", users});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(run.err.starts_with("velmora: " + users + ": dana is there already")) << run;
    run = serve({"--add-user", "lee:admin", "--users", users});
    EXPECT_EQ(run.exitCode, 2) << run;
    run = serve({"--add-user", "lee"});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: --add-user needs --users FILE\n");
    run = serve({"--remove-user", "lee", "--users", users});
    EXPECT_EQ(run.exitCode, 2) << run;
    EXPECT_EQ(run.err, "velmora: " + users + ": no one is named lee\n");
    run = serve({"--add-user", "lee", "--users", users});
    ASSERT_EQ(run.exitCode, 0) << run;
    run = serve({"--remove-user", "lee", "--users", users});
    EXPECT_EQ(run.exitCode, 0) << run;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(serve::readUsersFile(users).size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(db_));

    const int port = freePort("127.0.0.1");
    ASSERT_NE(port, 0);
    ServeRun served({folder_.file("deals"), "--db", db_, "--listen",
                     "127.0.0.1:" + std::to_string(port), "--users", users});
    ASSERT_TRUE(served.serving()) << served.out() << served.err();
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(kPatienceSeconds);
    EXPECT_EQ(client.Get("/")->status, 303);
    const httplib::Result in = client.Post("/login", httplib::Params{{"token", token}});
    ASSERT_TRUE(in);
    EXPECT_EQ(in->status, 303);
    const std::string set = in->get_header_value("Set-Cookie");
    const httplib::Result page = client.Get("/", {{"Cookie", set.substr(0, set.find(';'))}});
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("<span class=\"person\">dana</span>"), std::string::npos);
    EXPECT_EQ(served.stop(SIGTERM), 0) << served.err();
}

TEST_F(ServeCli, ServesHttpsWithASecureCookieUntilSigterm) {
    const std::string cert = folder_.file("cert.pem");
    const std::string key = folder_.file("key.pem");
    const CliRun made =
        runProgram({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                    "-out", cert, "-days", "1", "-subj", "/CN=localhost"},
                   60);
    ASSERT_EQ(made.exitCode, 0) << made;

    const int port = freePort("127.0.0.2");
    ASSERT_NE(port, 0);
    const std::string address = "127.0.0.2:" + std::to_string(port);
    ServeRun run({folder_.file("deals"), "--db", db_, "--listen", address, "--token-file", token_,
                  "--tls-cert", cert, "--tls-key", key});
    ASSERT_TRUE(run.serving()) << run.out() << run.err();
    EXPECT_EQ(run.out(), "serving https://" + address + "/ (index " + db_ + "); Ctrl-C stops\n");

    httplib::SSLClient client("127.0.0.2", port);
    client.enable_server_certificate_verification(false);
    client.set_read_timeout(kPatienceSeconds);
    const httplib::Result login = client.Get("/login");
    ASSERT_TRUE(login) << httplib::to_string(login.error());
    EXPECT_EQ(login->status, 200);
    EXPECT_NE(login->body.find("name=\"token\""), std::string::npos);
    const httplib::Result page = client.Get("/");
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 303);

    const httplib::Result in = client.Post("/login", httplib::Params{{"token", kToken}});
    ASSERT_TRUE(in);
    EXPECT_EQ(in->status, 303);
    const std::string set = in->get_header_value("Set-Cookie");
    EXPECT_TRUE(set.ends_with("; Path=/; HttpOnly; SameSite=Strict; Secure")) << set;
    const httplib::Result inside = client.Get("/", {{"Cookie", set.substr(0, set.find(';'))}});
    ASSERT_TRUE(inside);
    EXPECT_EQ(inside->status, 200);

    // A server asked to stop has done its job: it ends as a normal run.
    EXPECT_EQ(run.stop(SIGTERM), 0) << run.err();
    EXPECT_EQ(run.err(), "");
}

} // namespace
} // namespace velmora::testing
