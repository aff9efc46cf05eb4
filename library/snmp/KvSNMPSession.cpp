#include "KvSNMPSession.h"
#include "BootCounter.h"
#include "Exception.h"
#include "KvPath.h"
#include "KvSNMPErrors.h"
#include "KvSNMPRequest.h"
#include "Snmp.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstring>

Snmp *gKvSNMPSession = nullptr;
KvSNMPDevice gKvSNMPDefaultDevice;
KvSNMPScope gKvSNMPDefaultScope;
KvSNMPSecurity gKvSNMPDefaultSecurity;
int32_t gKvSNMPDefaultTimeout = 100;
std::unique_ptr<_SnmpEventProcessor> gKvSNMPEventProcessor;

namespace {
// The session lives as long as the process: it is never destroyed, so no completion can
// run during static destruction into objects already gone.
std::unique_ptr<Snmp> &sessionHolder()
{
    static auto *holder = new std::unique_ptr<Snmp>();
    return *holder;
}

// The timer and socket watchers go with the application object, not after it.
void stopWithTheApplication()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    qAddPostRoutine([] { KvSNMPDefaultsExit(); });
}
} // namespace

_SnmpEventProcessor::_SnmpEventProcessor()
{
    m_timer.onTimeout = [this] { OnTimer(); };
}

_SnmpEventProcessor::~_SnmpEventProcessor()
{
    Stop();
    if (gKvSNMPSession)
        gKvSNMPSession->set_socket_observer(nullptr);
}

void _SnmpEventProcessor::Start()
{
    if (gKvSNMPSession) {
        std::weak_ptr<int> life = m_life;
        gKvSNMPSession->set_socket_observer([this, life] {
            if (life.expired())
                return;
            // A closed socket is no longer watched from now on; watchers themselves change
            // from the event loop, never inside a notifier's own call.
            const std::vector<int> fds = gKvSNMPSession->socket_fds();
            for (auto &[fd, watcher] : m_watchers)
                if (std::find(fds.begin(), fds.end(), fd) == fds.end())
                    watcher->setEnabled(false);
            if (m_syncPosted)
                return;
            m_syncPosted = true;
            kv::postCall([this, life] {
                if (life.expired())
                    return;
                m_syncPosted = false;
                SyncSockets();
            });
        });
    }
    m_started = true;
    m_timer.start(20);
    SyncSockets();
}

void _SnmpEventProcessor::Stop()
{
    m_started = false;
    m_timer.stop();
    m_watchers.clear();
}

bool _SnmpEventProcessor::Running() const
{
    return m_started;
}

void _SnmpEventProcessor::Wake()
{
    if (m_started && !m_timer.isActive())
        m_timer.start(20);
}

void _SnmpEventProcessor::OnTimer()
{
    // The timer keeps running while completions are delivered: a completion that opens a
    // modal window must not stop time-outs and further answers from arriving.
    if (gKvSNMPSession)
        SNMPProcessPendingEvents();
    // Nothing on its way: sleep until the next request wakes the timer.
    if (!gKvSNMPSession || gKvSNMPSession->idle())
        m_timer.stop();
}

void _SnmpEventProcessor::SyncSockets()
{
    if (!gKvSNMPSession || !m_started) {
        m_watchers.clear();
        return;
    }
    std::vector<int> fds = gKvSNMPSession->socket_fds();
    for (auto it = m_watchers.begin(); it != m_watchers.end();) {
        // A disabled watcher belongs to a closed socket, even when a new socket got its number
        // before this sync ran: the new socket gets a watcher of its own.
        if (!it->second->isEnabled() || std::find(fds.begin(), fds.end(), it->first) == fds.end())
            it = m_watchers.erase(it);
        else
            ++it;
    }
    for (int fd : fds) {
        if (m_watchers.count(fd))
            continue;
        std::weak_ptr<int> life = m_life;
        m_watchers[fd] =
            std::make_unique<kv::SocketWatcher>(fd, kv::SocketWatcher::Kind::Read, [this, fd, life] {
                if (!gKvSNMPSession)
                    return;
                SNMPProcessPendingEvents(fd);
                // The last answer is in: the time-out timer has nothing left to watch, and would
                // only wake the program once more to find that out.
                if (!life.expired() && gKvSNMPSession && gKvSNMPSession->idle())
                    m_timer.stop();
            });
    }
}

void KvSNMPDefaultsInit()
{
    if (!gKvSNMPEventProcessor)
        gKvSNMPEventProcessor = std::make_unique<_SnmpEventProcessor>();
    stopWithTheApplication();
    gKvSNMPDefaultDevice = KvSNMPDevice{};
    gKvSNMPDefaultDevice.Address.clear();
    gKvSNMPDefaultScope = KvSNMPScope{};
    gKvSNMPDefaultSecurity = KvSNMPSecurity{};
}

void KvSNMPDefaultsExit()
{
    gKvSNMPEventProcessor.reset();
    gKvSNMPDefaultDevice = KvSNMPDevice{};
    gKvSNMPDefaultScope = KvSNMPScope{};
    gKvSNMPDefaultSecurity = KvSNMPSecurity{};
}

void KvSNMPCloseIdleSessions()
{
    if (gKvSNMPSession)
        gKvSNMPSession->close_idle_sessions();
}

void KvSNMPCreateGlobalSession(AnsiString directory)
{
    if (!gKvSNMPEventProcessor)
        KvSNMPDefaultsInit();
    // One session for the process: a second call keeps the first session and its requests.
    if (!sessionHolder()) {
        int status = SNMP_CLASS_SUCCESS;
        auto session = std::make_unique<Snmp>(status, 0);
        if (status != SNMP_CLASS_SUCCESS)
            KvSNMPRaise(KvSNMPCode::CannotCreateSession);
        sessionHolder() = std::move(session);
    }
    gKvSNMPSession = sessionHolder().get();

    const AnsiString fileName = JoinPath(directory, kKvSNMPBootCounterFile);
    const OctetStr engineId(kKvSNMPLocalEngineId);
    unsigned int boots = 0;
    // The message names the file: a folder that cannot be written must be found.
    auto raiseFor = [&fileName](int code) {
        const int err = errno;
        throw Exception(KvSNMPText(code) + " (" + fileName +
                            (err != 0 ? ": " + AnsiString(std::strerror(err)) : "") + ")",
                        code);
    };
    errno = 0;
    int status = getBootCounter(fileName, engineId, boots);
    if (status < SNMPv3_FILEOPEN_ERROR)
        raiseFor(KvSNMPCode::LoadBootCounter);
    if (status != SNMPv3_OK)
        boots = 0;
    if (boots < MAX_ENGINE_BOOTS)
        ++boots;
    errno = 0;
    if (saveBootCounter(fileName, engineId, boots) != SNMPv3_OK)
        raiseFor(KvSNMPCode::SaveBootCounter);
    mpInit(gKvSNMPSession, engineId, boots);

    gKvSNMPDefaultDevice.Address = "127.0.0.1";
    gKvSNMPDefaultDevice.Port = 161;
    gKvSNMPDefaultScope = KvSNMPScope{};
    gKvSNMPDefaultSecurity = KvSNMPSecurity{};
    gKvSNMPDefaultSecurity.Version = 0;
    gKvSNMPDefaultSecurity.ReadCommunity = "mardle";
    gKvSNMPDefaultSecurity.WriteCommunity = "quintel";
    gKvSNMPDefaultSecurity.SecurityModel = 1;
    gKvSNMPDefaultSecurity.SecurityLevel = 1;
    gKvSNMPDefaultSecurity.AuthProtocol = 1;
    gKvSNMPDefaultSecurity.PrivProtocol = 1;
    gKvSNMPDefaultTimeout = 100;
    gKvSNMPEventProcessor->Start();
}
