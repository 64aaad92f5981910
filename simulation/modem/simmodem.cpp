// simmodem: an AT modem on a pseudo-terminal for a Wine prefix's serial port.
//
//   simmodem --prefix DIR --port comN --log FILE [--error-file FILE] [--ready-file FILE]
//
// Points DIR/dosdevices/comN at the pseudo-terminal's slave side, appends every line
// it receives (ended by CR or LF) to the log file and answers each with "OK", or with
// "ERROR" while the error file exists. Writes the ready file once the port is in place.
// SIGTERM or SIGINT ends it: the port link is removed (an earlier link of that name is
// put back) and the exit code is 0.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace
{

volatile std::sig_atomic_t g_stop = 0;
pid_t g_modem = 0;

void OnStopSignal(int)
{
    g_stop = 1;
}

void RelayStopSignal(int signal)
{
    kill(g_modem, signal);
}

// The parent stays in the caller's session and process group, so that Ctrl-C and the
// caller's signals reach it, and hands the stop signals on to the modem.
int RelayTo(pid_t modem)
{
    g_modem = modem;
    struct sigaction action = {};
    action.sa_handler = RelayStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    int status = 0;
    while (waitpid(modem, &status, 0) < 0)
    {
        if (errno != EINTR)
            return 1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

struct Options
{
    std::string prefix;
    std::string port;
    std::string log;
    std::string errorFile;
    std::string readyFile;
};

bool ParseOptions(int argc, char** argv, Options& options)
{
    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string name = argv[i];
        const std::string value = argv[i + 1];
        if (name == "--prefix")
            options.prefix = value;
        else if (name == "--port")
            options.port = value;
        else if (name == "--log")
            options.log = value;
        else if (name == "--error-file")
            options.errorFile = value;
        else if (name == "--ready-file")
            options.readyFile = value;
        else
            return false;
    }
    return argc % 2 == 1 && !options.prefix.empty() && !options.port.empty() &&
           !options.log.empty();
}

bool Exists(const std::string& path)
{
    struct stat info;
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

bool WriteAll(int fd, const std::string& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size())
    {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

bool AppendLine(const std::string& path, const std::string& line)
{
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0)
        return false;
    const bool written = WriteAll(fd, line + "\n");
    close(fd);
    return written;
}

// The master side of a raw pseudo-terminal, and the slave's path.
int OpenTerminal(std::string& slavePath)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
        return -1;
    const char* name = ptsname(master);
    if (name == nullptr)
        return -1;
    slavePath = name;
    return master;
}

bool MakeRaw(int fd)
{
    termios settings;
    if (tcgetattr(fd, &settings) != 0)
        return false;
    cfmakeraw(&settings);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

std::string LinkTarget(const std::string& link)
{
    char target[4096] = {};
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : std::string();
}

// Points the port at the slave, in place of an earlier link of the same name (which
// Wine may have made for a serial device of the machine).
bool LinkPort(const std::string& link, const std::string& slavePath)
{
    unlink(link.c_str());
    return symlink(slavePath.c_str(), link.c_str()) == 0;
}

// Removes the link while it still points at this modem's terminal, and puts back the
// link that was there before.
void UnlinkPort(const std::string& link, const std::string& slavePath,
                const std::string& previousTarget)
{
    if (LinkTarget(link) != slavePath)
        return;
    unlink(link.c_str());
    if (!previousTarget.empty() && symlink(previousTarget.c_str(), link.c_str()) != 0)
        std::perror(("simmodem: restoring " + link).c_str());
}

// Takes the complete lines out of the buffer, records and answers each.
void AnswerLines(int master, std::string& pending, const Options& options)
{
    std::size_t end;
    while ((end = pending.find_first_of("\r\n")) != std::string::npos)
    {
        const std::string line = pending.substr(0, end);
        pending.erase(0, end + 1);
        if (line.empty())
            continue;
        AppendLine(options.log, line);
        WriteAll(master, Exists(options.errorFile) ? "\r\nERROR\r\n" : "\r\nOK\r\n");
    }
}

// The stop signals are blocked except inside ppoll, so a signal can't slip in between
// the look at g_stop and the wait.
int Serve(int master, const Options& options, const sigset_t& waitMask)
{
    std::string pending;
    while (!g_stop)
    {
        pollfd waiting = {master, POLLIN, 0};
        const int ready = ppoll(&waiting, 1, nullptr, &waitMask);
        if (ready < 0)
        {
            if (errno == EINTR)
                continue;
            return 1;
        }
        char bytes[512];
        const ssize_t count = read(master, bytes, sizeof bytes);
        if (count > 0)
        {
            pending.append(bytes, static_cast<std::size_t>(count));
            AnswerLines(master, pending, options);
        }
        else if (count < 0 && errno != EINTR && errno != EAGAIN && errno != EIO)
            return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!ParseOptions(argc, argv, options))
    {
        std::fprintf(stderr, "usage: simmodem --prefix DIR --port comN --log FILE "
                             "[--error-file FILE] [--ready-file FILE]\n");
        return 2;
    }
    // The modem runs in a session of its own whose controlling terminal is the modem's
    // terminal. Otherwise the first session leader that opens the port without
    // O_NOCTTY, such as Wine's server (a daemon), takes the terminal over and is sent
    // SIGHUP when the modem ends.
    const pid_t modem = fork();
    if (modem < 0)
    {
        std::perror("simmodem: fork");
        return 1;
    }
    if (modem > 0)
        return RelayTo(modem);
    setsid();
    // Hang-ups of its own terminal (the master's close at the end among them) are no
    // reason for the modem to end without cleaning up.
    signal(SIGHUP, SIG_IGN);

    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    sigset_t stopSignals;
    sigset_t waitMask;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    sigprocmask(SIG_BLOCK, &stopSignals, &waitMask);

    std::string slavePath;
    const int master = OpenTerminal(slavePath);
    if (master < 0)
    {
        std::perror("simmodem: pseudo-terminal");
        return 1;
    }
    // Holding the slave open keeps the master readable between the program's opens of
    // the port (a master without any slave reports EIO).
    const int slave = open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0 || !MakeRaw(slave) || ioctl(slave, TIOCSCTTY, 0) != 0)
    {
        std::perror("simmodem: slave side");
        return 1;
    }
    const std::string link = options.prefix + "/dosdevices/" + options.port;
    const std::string previousTarget = LinkTarget(link);
    if (!LinkPort(link, slavePath))
    {
        std::perror(("simmodem: " + link).c_str());
        return 1;
    }
    if (!options.readyFile.empty())
        AppendLine(options.readyFile, slavePath);

    const int result = Serve(master, options, waitMask);
    UnlinkPort(link, slavePath, previousTarget);
    close(slave);
    close(master);
    return result;
}
