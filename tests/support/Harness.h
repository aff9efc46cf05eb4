#pragma once
// Starts devsim, TFTP servers and net-snmp's command-line tools as child processes.
#include <string>
#include <vector>

namespace devsimtest {

struct RunResult {
    int exitCode = -1;
    std::string output; // standard output and error together
};

// Runs a program with an argument list and waits for it (killed after timeoutMs).
RunResult run(const std::vector<std::string> &argv, int timeoutMs = 20000);

class Process {
public:
    Process() = default;
    Process(const Process &) = delete;
    Process &operator=(const Process &) = delete;
    ~Process();
    // Starts argv; its standard output is kept in a pipe for waitForLine.
    bool start(const std::vector<std::string> &argv);
    // Reads output until a line containing text arrives (false on end or time-out).
    bool waitForLine(const std::string &text, int timeoutMs);
    // SIGTERM, then the exit code (-1 when it had to be killed); a paused process ends too.
    int stop(int timeoutMs = 5000);
    // A device that went away: SIGSTOP (no answer, no ICMP error), returning once the process
    // has stopped, so that nothing sent afterwards is answered. resume() lets it go on.
    void pause();
    // SIGCONT, returning once the process runs again.
    void resume();
    // The state letter of its /proc stat line ('S' waiting, 'T' stopped), or 0 when gone.
    char state() const;
    // Waits for the process to end by itself; -1 on time-out.
    int wait(int timeoutMs);
    int pid() const { return pid_; }
    // What the process has written so far.
    const std::string &output() const { return buffer_; }

private:
    int pid_ = -1;
    int out_ = -1;
    std::string buffer_;
};

// devsim on 127.0.0.1 and a free port, with its own state folder.
class Devsim {
public:
    explicit Devsim(std::vector<std::string> extraArgs = {});
    ~Devsim();
    bool ok() const { return ready_; }
    int port() const { return port_; }
    std::string target() const { return "127.0.0.1:" + std::to_string(port_); }
    const std::string &stateDir() const { return state_; }
    std::string readFile(const std::string &name) const;
    // One line per set request and device command; one line per request PDU.
    std::string writeLog() const { return readFile("writes.log"); }
    std::string requestLog() const { return readFile("requests.log"); }
    // Why it is not ready (what it printed), or empty.
    std::string why() const { return ready_ ? std::string() : "devsim did not start: " + proc_.output(); }
    int stop() { return proc_.stop(); }
    // Stops devsim and starts it again on the same port and state folder, as a device
    // restarts; more arguments may be added for the new start.
    bool restart(const std::vector<std::string> &moreArgs = {});
    Process &process() { return proc_; }
    // Its socket's receive queue as the kernel lists it: bytes waiting and datagrams dropped.
    std::string socketText() const;

    // snmpget/snmpgetnext/snmpwalk/snmpset with v1 or v2c and numeric output.
    RunResult snmp(const std::string &tool, const std::string &version, const std::string &community,
                   const std::vector<std::string> &args, double timeoutSeconds = 2.0) const;
    // The same over SNMPv3 with the given user options (-l, -u, -a, -A, -x, -X).
    RunResult snmpV3(const std::string &tool, const std::vector<std::string> &userArgs,
                     const std::vector<std::string> &args, double timeoutSeconds = 2.0) const;

private:
    bool start(const std::vector<std::string> &extraArgs);
    Process proc_;
    std::vector<std::string> extraArgs_;
    std::string state_;
    std::string clientDir_;
    int port_ = 0;
    bool ready_ = false;
};

std::string devsimPath();
std::string readWholeFile(const std::string &path);
void writeWholeFile(const std::string &path, const std::string &data);

constexpr const char *kEnterprise = "1.3.6.1.4.1.32473.11.37.4";

} // namespace devsimtest
