#pragma once
// The agent's work: carry out a command file's lines, then delete the file;
// and the loop that watches the folder for the file.
#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "agent/AgentLog.h"
#include "agent/CommandScript.h"
#include "platform/Process.h"
#include "platform/SharedFile.h"

namespace platform {
class DirWatch;
}

namespace agent {

inline constexpr const char* kCommandFileName = "CopyScript.TSF";
// How long one KILL or RESTART line waits for the stopped processes to end:
// the copy that follows needs their files released.
inline constexpr int kStopWaitMs = 5000;
// A file still open for writing is looked at again after this long.
inline constexpr int kBusyRetryMs = 100;
// The look made without any notification, for file systems that send none.
inline constexpr int kPeriodicLookMs = 1000;

// What the commands do to the PC: the process seam in the program, a
// recording stand-in where a test checks the plan alone.
class Effects {
public:
    virtual ~Effects() = default;
    virtual platform::StopReport StopAll(const std::string& name) = 0;
    // True when the program was started.
    virtual bool Start(const std::string& file, const std::string& folder) = 0;
};

class SystemEffects : public Effects {
public:
    platform::StopReport StopAll(const std::string& name) override;
    bool Start(const std::string& file, const std::string& folder) override;
};

struct StartPlace {
    std::string file;    // handed to the shell
    std::string folder;  // working folder
};

// Where a RESTART entry is started. An entry with a folder (C:\dir\a.exe,
// \\pc\share\a.exe, dir\a.exe) starts in its own folder (a relative one taken
// below fallbackFolder). A bare file name starts from the folder the stopped
// program ran from, so a program comes back where it was; when none of it ran,
// from fallbackFolder, where the shell looks first before its search path.
StartPlace WhereToStart(const std::string& entry, const platform::StopReport& stopped,
                        const std::string& fallbackFolder);

// Carries out the commands in order, each line in full before the next, and
// logs what each did. Lines not understood are logged and passed over.
void CarryOut(const std::vector<Command>& commands, Effects& effects, AgentLog& log,
              const std::string& fallbackFolder);

// The watch loop over one folder.
class Watcher {
public:
    Watcher(std::string folder, Effects& effects, AgentLog& log, std::string fallbackFolder);
    ~Watcher();
    // False when the folder sends no change notification: only the periodic look finds a file.
    bool Notifies() const;

    enum class Look {
        Idle,   // no command file, or nothing more to do with it for now
        Busy,   // a writer still has it open (or deletion was refused for that): look again shortly
        Again,  // it was replaced while its lines were carried out: look again at once
    };
    // One look at the folder: reads the command file once its writer has
    // closed it, carries out its lines, and deletes it if it is still the
    // version read. A file whose lines were carried out but which could not
    // be deleted yet is not carried out again; only its deletion is retried.
    Look LookOnce();

    // Looks whenever the folder changes, shortly while a writer is busy, and
    // every kPeriodicLookMs regardless, until stop is set (then call Wake, or
    // wait up to one look's time).
    void Run(const std::atomic<bool>& stop);
    // Ends the current wait of Run; from any thread.
    void Wake();

    const std::string& CommandFile() const { return file_; }

private:
    std::string folder_;
    std::string file_;
    Effects& effects_;
    AgentLog& log_;
    std::string fallbackFolder_;
    std::optional<platform::FileStamp> carriedOut_;  // the version whose lines were done, not yet deleted
    bool failureLogged_ = false;                     // a read or delete failure is logged once per spell
    std::unique_ptr<platform::DirWatch> watch_;
};

}  // namespace agent
