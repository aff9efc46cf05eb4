#pragma once
// The start-up of the module around the main window: the command line it was given, its
// message files, and the rule that one instance runs per device.
#include "AnsiString.h"

#include <memory>
#include <vector>

// The program's arguments without the program name, set by the program entry (tests set
// them before creating the main window).
extern std::vector<AnsiString> gCommandLine;

enum class StartupOutcome {
    Running,         // the window polls and probes the device
    NoArguments,     // started without arguments: told so and ending
    Refused,         // a bad argument or settings file: told so and ending
    AnotherInstance, // the device already has a module: told so and ending
    Failed,          // the SNMP session could not be made: told so and ending
};

// The folder of the program file (with a trailing separator), or empty when unknown.
AnsiString ProgramFolder();

// Where the first load finds "errmsg": the program's folder when it holds one (the build
// folder), else the installed data folder relative to it (bin/../share/qrn5290ap/).
AnsiString ProgramDataFolder(const AnsiString &programFolder);

// Loads the seven message files of folder's "errmsg" folder (its letter case does not
// matter) into the message tables; missing files leave their tables.
void LoadMessageFilesFirst(const AnsiString &folder);
void LoadMessageFilesSecond(const AnsiString &moduleFolder);

// A lock on a file named after the device, held while the object lives; the kernel drops it
// when the process ends in any way.
class InstanceLock {
public:
    // Null when another process (or another lock in this one) holds the file, or when the
    // file cannot be made.
    static std::unique_ptr<InstanceLock> Acquire(const AnsiString &path);
    ~InstanceLock();
    InstanceLock(const InstanceLock &) = delete;
    InstanceLock &operator=(const InstanceLock &) = delete;

private:
    explicit InstanceLock(int fd) : m_fd(fd) {}
    int m_fd;
};
