#include "Agent.h"

#include "Catalog.h"
#include "Device.h"
#include "Options.h"
#include "Tftp.h"

// net-snmp needs its configuration header first.
#include <net-snmp/net-snmp-config.h>

#include <net-snmp/net-snmp-includes.h>

#include <net-snmp/agent/net-snmp-agent-includes.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <limits>
#include <list>
#include <memory>
#include <random>

// Their headers are not shipped; the agent library exports them.
extern "C" {
void init_vacm_conf(void);
void init_usmUser(void);
}

namespace devsim {

namespace fs = std::filesystem;

namespace {

// One agent per process: net-snmp keeps its own state in globals too.
struct AgentState {
    Device *device = nullptr;
    netsnmp_transport *transport = nullptr;
    int (*send)(netsnmp_transport *, const void *, int, void **, int *) = nullptr;
    bool dropAnswer = false;             // the request being answered must go unanswered
    int delayMs = 0;                     // the answer to the request being answered comes late
    const void *lastLoggedPdu = nullptr; // the request last written to requests.log
    int signalPipe[2] = {-1, -1};
    volatile bool running = true;
};
AgentState g;

struct DelayedAnswer {
    std::vector<char> data;
    std::vector<char> opaque;
};
std::list<std::unique_ptr<DelayedAnswer>> g_delayed;

Oid toOid(const oid *name, size_t len)
{
    return Oid(name, name + len);
}

std::vector<oid> fromOid(const Oid &o)
{
    return std::vector<oid>(o.begin(), o.end());
}

void setValue(netsnmp_variable_list *vb, const Object &obj, const Value &v)
{
    switch (obj.syntax) {
    case Syntax::Integer: {
        long n = static_cast<long>(v.num);
        snmp_set_var_typed_value(vb, ASN_INTEGER, &n, sizeof n);
        break;
    }
    case Syntax::UInteger:
    case Syntax::Gauge:
    case Syntax::Counter:
    case Syntax::TimeTicks: {
        u_long n = static_cast<u_long>(static_cast<uint32_t>(v.num));
        u_char type = obj.syntax == Syntax::Counter     ? ASN_COUNTER
                      : obj.syntax == Syntax::TimeTicks ? ASN_TIMETICKS
                                                        : ASN_GAUGE;
        snmp_set_var_typed_value(vb, type, &n, sizeof n);
        break;
    }
    case Syntax::Counter64: {
        counter64 c{};
        auto u = static_cast<uint64_t>(v.num);
        c.high = static_cast<u_long>(u >> 32);
        c.low = static_cast<u_long>(u & 0xffffffffu);
        snmp_set_var_typed_value(vb, ASN_COUNTER64, &c, sizeof c);
        break;
    }
    case Syntax::IpAddress:
        snmp_set_var_typed_value(vb, ASN_IPADDRESS, v.bytes.data(), v.bytes.size());
        break;
    case Syntax::ObjectId: {
        auto o = fromOid(v.oid);
        snmp_set_var_typed_value(vb, ASN_OBJECT_ID, o.data(), o.size() * sizeof(oid));
        break;
    }
    case Syntax::OctetStr:
    case Syntax::DisplayStr:
    case Syntax::MacAddress:
        snmp_set_var_typed_value(vb, ASN_OCTET_STR, v.bytes.data(), v.bytes.size());
        break;
    }
}

// The binding of a set request as the device model sees it; false for a type it never serves.
bool toBinding(const netsnmp_variable_list *vb, SetBinding &b)
{
    b.oid = toOid(vb->name, vb->name_length);
    switch (vb->type) {
    case ASN_INTEGER:
        b.syntax = Syntax::Integer;
        b.value.num = *vb->val.integer;
        return true;
    case ASN_GAUGE:
        b.syntax = Syntax::Gauge;
        b.value.num = static_cast<uint32_t>(*vb->val.integer);
        return true;
    case ASN_COUNTER:
        b.syntax = Syntax::Counter;
        b.value.num = static_cast<uint32_t>(*vb->val.integer);
        return true;
    case ASN_TIMETICKS:
        b.syntax = Syntax::TimeTicks;
        b.value.num = static_cast<uint32_t>(*vb->val.integer);
        return true;
    case ASN_COUNTER64:
        b.syntax = Syntax::Counter64;
        b.value.num = static_cast<int64_t>((static_cast<uint64_t>(vb->val.counter64->high) << 32) |
                                           (vb->val.counter64->low & 0xffffffffu));
        return true;
    case ASN_IPADDRESS:
        b.syntax = Syntax::IpAddress;
        b.value.bytes.assign(reinterpret_cast<const char *>(vb->val.string), vb->val_len);
        return true;
    case ASN_OCTET_STR:
        b.syntax = Syntax::OctetStr;
        b.value.bytes.assign(reinterpret_cast<const char *>(vb->val.string), vb->val_len);
        return true;
    case ASN_OBJECT_ID:
        b.syntax = Syntax::ObjectId;
        b.value.oid = toOid(vb->val.objid, vb->val_len / sizeof(oid));
        return true;
    default:
        return false;
    }
}

std::string principalOf(const netsnmp_agent_request_info *reqinfo)
{
    const netsnmp_pdu *pdu = reqinfo->asp ? reqinfo->asp->pdu : nullptr;
    if (!pdu)
        return "?";
    if (pdu->version == SNMP_VERSION_3)
        return "v3:" + std::string(pdu->securityName ? pdu->securityName : "", pdu->securityNameLen);
    std::string v = pdu->version == SNMP_VERSION_1 ? "v1:" : "v2c:";
    return v + std::string(reinterpret_cast<const char *>(pdu->community), pdu->community_len);
}

void answerRead(netsnmp_agent_request_info *reqinfo, netsnmp_request_info *requests, bool next)
{
    Device &d = *g.device;
    for (netsnmp_request_info *r = requests; r; r = r->next) {
        if (r->processed)
            continue;
        Oid asked = toOid(r->requestvb->name, r->requestvb->name_length);
        const Object *obj = next ? d.next(asked, r->inclusive != 0) : d.find(asked);
        if (!obj) {
            // A get-next left unanswered moves on to what lies beyond this subtree.
            if (!next)
                netsnmp_set_request_error(
                    reqinfo, r, d.isKnownObjectPrefix(asked) ? SNMP_NOSUCHINSTANCE : SNMP_NOSUCHOBJECT);
            continue;
        }
        if (next) {
            auto o = fromOid(obj->oid);
            snmp_set_var_objid(r->requestvb, o.data(), o.size());
        }
        if (const Fault *f = d.faultFor(obj->oid, false)) {
            if (f->kind == Fault::Drop)
                g.dropAnswer = true;
            else if (f->kind == Fault::Delay)
                g.delayMs = std::max(g.delayMs, f->delayMs);
            else if (f->kind == Fault::Error) {
                netsnmp_set_request_error(reqinfo, r, f->status);
                continue;
            }
        }
        if (obj->access == Access::WriteOnly) {
            if (!next)
                netsnmp_set_request_error(reqinfo, r, SNMP_NOSUCHOBJECT);
            continue;
        }
        setValue(r->requestvb, *obj, d.read(*obj));
    }
}

struct SetRequest {
    std::vector<SetBinding> bindings;
    std::vector<netsnmp_request_info *> requests; // in binding order
};

SetRequest collectSet(netsnmp_request_info *requests)
{
    std::vector<std::pair<int, netsnmp_request_info *>> byIndex;
    for (netsnmp_request_info *r = requests; r; r = r->next)
        byIndex.emplace_back(r->index, r);
    std::stable_sort(byIndex.begin(), byIndex.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    SetRequest s;
    for (auto &[idx, r] : byIndex) {
        SetBinding b;
        if (!toBinding(r->requestvb, b)) {
            b.oid = toOid(r->requestvb->name, r->requestvb->name_length);
            b.syntax = Syntax::OctetStr; // a type no object has: refused as wrongType below
            b.value.bytes = "\x01unsupported";
        }
        s.bindings.push_back(std::move(b));
        s.requests.push_back(r);
    }
    return s;
}

bool hasUnsupportedType(netsnmp_request_info *r)
{
    SetBinding b;
    return !toBinding(r->requestvb, b);
}

void reserveSet(netsnmp_agent_request_info *reqinfo, netsnmp_request_info *requests)
{
    Device &d = *g.device;
    SetRequest s = collectSet(requests);
    std::string principal = principalOf(reqinfo);
    if (d.silent()) {
        g.dropAnswer = true;
        netsnmp_set_request_error(reqinfo, requests, SNMP_ERR_GENERR);
        return;
    }
    for (std::size_t i = 0; i < s.bindings.size(); ++i) {
        if (hasUnsupportedType(s.requests[i])) {
            d.logRefusedSet(s.bindings, principal, WrongType);
            netsnmp_set_request_error(reqinfo, s.requests[i], SNMP_ERR_WRONGTYPE);
            return;
        }
    }
    for (std::size_t i = 0; i < s.bindings.size(); ++i) {
        const Fault *f = d.faultFor(s.bindings[i].oid, true);
        if (!f || f->kind == Fault::Absent)
            continue;
        if (f->kind == Fault::Drop) {
            g.dropAnswer = true;
            d.logRefusedSet(s.bindings, principal, GenErr);
            netsnmp_set_request_error(reqinfo, s.requests[i], SNMP_ERR_GENERR);
            return;
        }
        if (f->kind == Fault::Error) {
            d.logRefusedSet(s.bindings, principal, f->status);
            netsnmp_set_request_error(reqinfo, s.requests[i], f->status);
            return;
        }
        g.delayMs = std::max(g.delayMs, f->delayMs);
    }
    SetOutcome out = d.check(s.bindings);
    if (out.status != NoError) {
        d.logRefusedSet(s.bindings, principal, out.status);
        netsnmp_set_request_error(reqinfo, s.requests[static_cast<std::size_t>(out.index - 1)], out.status);
    }
}

void actionSet(netsnmp_agent_request_info *reqinfo, netsnmp_request_info *requests)
{
    SetRequest s = collectSet(requests);
    SetOutcome out = g.device->apply(s.bindings, principalOf(reqinfo));
    if (out.status != NoError)
        netsnmp_set_request_error(reqinfo, s.requests[static_cast<std::size_t>(out.index - 1)], out.status);
}

// Each request PDU once, before its bindings are answered (a get-next's names change then).
void logRequest(netsnmp_agent_request_info *reqinfo, netsnmp_request_info *requests)
{
    const char *type = reqinfo->mode == MODE_GET            ? "get"
                       : reqinfo->mode == MODE_GETNEXT      ? "getnext"
                       : reqinfo->mode == MODE_SET_RESERVE1 ? "set"
                                                            : nullptr;
    const netsnmp_pdu *pdu = reqinfo->asp ? reqinfo->asp->pdu : nullptr;
    if (!type || !pdu || pdu == g.lastLoggedPdu)
        return;
    g.lastLoggedPdu = pdu;
    std::vector<Oid> oids;
    for (netsnmp_request_info *r = requests; r; r = r->next)
        oids.push_back(toOid(r->requestvb->name, r->requestvb->name_length));
    g.device->logRequest(type, principalOf(reqinfo), oids);
}

int handleRequest(netsnmp_mib_handler *, netsnmp_handler_registration *, netsnmp_agent_request_info *reqinfo,
                  netsnmp_request_info *requests)
{
    Device &d = *g.device;
    logRequest(reqinfo, requests);
    switch (reqinfo->mode) {
    case MODE_GET:
    case MODE_GETNEXT:
        if (d.silent()) {
            g.dropAnswer = true;
            return SNMP_ERR_NOERROR;
        }
        answerRead(reqinfo, requests, reqinfo->mode == MODE_GETNEXT);
        break;
    case MODE_SET_RESERVE1:
        reserveSet(reqinfo, requests);
        break;
    case MODE_SET_ACTION:
        // All checks have passed for every binding: the device carries the set out at once,
        // so nothing is left for commit and undo.
        actionSet(reqinfo, requests);
        break;
    default:
        break;
    }
    return SNMP_ERR_NOERROR;
}

void sendDelayed(unsigned int, void *arg)
{
    auto *answer = static_cast<DelayedAnswer *>(arg);
    if (g.transport && !g.device->silent()) {
        void *opaque = answer->opaque.empty() ? nullptr : answer->opaque.data();
        int olen = static_cast<int>(answer->opaque.size());
        g.send(g.transport, answer->data.data(), static_cast<int>(answer->data.size()), &opaque, &olen);
    }
    g_delayed.remove_if([answer](const auto &p) { return p.get() == answer; });
}

int sendAnswer(netsnmp_transport *t, const void *buf, int size, void **opaque, int *olength)
{
    // The request is over: the next one is logged even if it reuses its memory.
    g.lastLoggedPdu = nullptr;
    bool drop = g.dropAnswer || g.device->silent();
    int delay = g.delayMs;
    g.dropAnswer = false;
    g.delayMs = 0;
    if (drop)
        return size;
    if (delay > 0) {
        auto answer = std::make_unique<DelayedAnswer>();
        const char *p = static_cast<const char *>(buf);
        answer->data.assign(p, p + size);
        if (opaque && *opaque && olength && *olength > 0) {
            const char *o = static_cast<const char *>(*opaque);
            answer->opaque.assign(o, o + *olength);
        }
        timeval tv{delay / 1000, (delay % 1000) * 1000};
        snmp_alarm_register_hr(tv, 0, sendDelayed, answer.get());
        g_delayed.push_back(std::move(answer));
        return size;
    }
    int rc = g.send(t, buf, size, opaque, olength);
    // A restart begins once its own answer is out.
    if (g.device->restartArmed())
        g.device->startRestartSilence();
    return rc;
}

void onSignal(int)
{
    char c = 1;
    ssize_t ignored = write(g.signalPipe[1], &c, 1);
    (void)ignored;
}

void onSignalPipe(int fd, void *)
{
    char buf[16];
    while (read(fd, buf, sizeof buf) > 0) {
    }
    g.running = false;
}

void onLifetimeOver(unsigned int, void *)
{
    g.running = false;
}

std::string executablePath(const char *argv0)
{
    std::error_code ec;
    auto p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(argv0 ? argv0 : "devsim") : p.string();
}

// net-snmp wants writable line buffers; they must outlive init_snmp.
void remember(std::list<std::vector<char>> &keep, const std::string &line)
{
    keep.emplace_back(line.begin(), line.end());
    keep.back().push_back('\0');
    netsnmp_config_remember(keep.back().data());
}

// The engine's identity, kept in the state folder as a real device keeps it across
// restarts: "id TEXT" and "boots N" lines.
struct EngineIdentity {
    std::string id;
    unsigned long boots = 0;
};

EngineIdentity loadEngine(const std::string &path)
{
    EngineIdentity e;
    std::ifstream in(path);
    std::string key;
    while (in >> key) {
        if (key == "id")
            in >> e.id;
        else if (key == "boots")
            in >> e.boots;
        else
            in.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return e;
}

bool saveEngine(const std::string &path, const EngineIdentity &e)
{
    const std::string temp = path + ".new";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << "id " << e.id << "\nboots " << e.boots << "\n";
        if (!out.flush())
            return false;
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    return !ec;
}

// The engine ID net-snmp makes from a text (its enterprise number, format 4, the text).
std::string textEngineIdHex(const std::string &text)
{
    std::string hex = "0x80001f8804";
    char two[3];
    for (unsigned char c : text) {
        std::snprintf(two, sizeof two, "%02x", c);
        hex += two;
    }
    return hex;
}

std::string newEngineText()
{
    std::random_device random;
    char text[32];
    std::snprintf(text, sizeof text, "devsim-%08x", static_cast<unsigned>(random()));
    return text;
}

} // namespace

int runDevsim(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    auto parsed = parseOptions(args, error);
    if (!parsed) {
        std::cerr << "devsim: " << error << "\n";
        return 2;
    }
    Options opts = *parsed;
    std::string catalogPath =
        opts.catalog.empty() ? defaultCatalogDir(executablePath(argv[0])) + "/qrn5290ap.cat" : opts.catalog;
    if (opts.help) {
        std::cout << helpText(profileNames(fs::path(catalogPath).parent_path().string()));
        return 0;
    }

    Catalog catalog;
    DeviceOptions dopts;
    try {
        catalog = loadCatalog(catalogPath,
                              opts.sectionsDir.empty() ? defaultSectionsDir(catalogPath) : opts.sectionsDir,
                              opts.profiles);
        loadFixtures(opts, catalogPath, dopts);
        loadFaults(opts, catalog, dopts);
    } catch (const std::exception &e) {
        std::cerr << "devsim: " << e.what() << "\n";
        return 2;
    }

    bool tempState = opts.stateDir.empty();
    if (tempState) {
        std::error_code tempEc;
        std::string pattern = (fs::temp_directory_path(tempEc) / "devsim.XXXXXX").string();
        if (tempEc || !mkdtemp(pattern.data())) {
            std::cerr << "devsim: cannot create a state folder\n";
            return 1;
        }
        opts.stateDir = pattern;
    }
    std::error_code ec;
    fs::create_directories(opts.stateDir + "/snmp/cert_indexes", ec);
    if (ec) {
        std::cerr << "devsim: cannot create " << opts.stateDir << ": " << ec.message() << "\n";
        return 1;
    }
    opts.stateDir = fs::canonical(opts.stateDir, ec).string();

    if (pipe2(g.signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::cerr << "devsim: pipe failed\n";
        return 1;
    }
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);

    std::unique_ptr<AtftpRunner> tftp = std::make_unique<AtftpRunner>(
        findProgram(opts.tftpProgram), opts.tftpPort, opts.tftpTimeoutMs, g.signalPipe[0]);
    dopts.stateDir = opts.stateDir;
    dopts.rebootSilenceMs = opts.rebootSilenceMs;
    std::unique_ptr<Device> device;
    try {
        device = std::make_unique<Device>(std::move(catalog), dopts, tftp.get());
    } catch (const std::exception &e) {
        std::cerr << "devsim: " << e.what() << "\n";
        return 1;
    }
    g.device = device.get();

    // No configuration files, no MIB files: everything comes from here.
    setenv("MIBS", "", 1);
    snmp_enable_stderrlog();
    std::string persist = opts.stateDir + "/snmp";
    std::string listen = "udp:" + opts.address + ":" + std::to_string(opts.port);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_ROLE, 0);
    netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
    netsnmp_ds_set_boolean(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_DONT_LOG_TCPWRAPPERS_CONNECTS, 1);
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_PERSISTENT_DIR, persist.c_str());
    netsnmp_ds_set_string(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_CONFIGURATION_DIR, persist.c_str());
    netsnmp_ds_set_string(NETSNMP_DS_APPLICATION_ID, NETSNMP_DS_AGENT_PORTS, listen.c_str());
    char noSmux[] = "-smux";
    add_to_init_list(noSmux);
    init_agent("devsim");
    init_vacm_conf();
    init_usmUser();

    std::list<std::vector<char>> lines;
    const std::string enginePath = persist + "/engine.txt";
    EngineIdentity engine = loadEngine(enginePath);
    if (!opts.engineId.empty() && opts.engineId != engine.id) {
        engine.id = opts.engineId;
        engine.boots = 0;
    }
    if (engine.id.empty())
        engine.id = newEngineText();
    // The engine counts this start as one more boot; a changed ID starts again at one.
    remember(lines, "engineID " + engine.id);
    remember(lines, "oldEngineID " + textEngineIdHex(engine.id));
    remember(lines, "engineBoots " + std::to_string(engine.boots));
    remember(lines, "view devsimView included .1.3.6.1.2.1.1");
    remember(lines, "view devsimView included .1.3.6.1.4.1.32473.11.37.4");
    remember(lines, "rocommunity \"" + opts.readCommunity + "\" default -V devsimView");
    remember(lines, "rwcommunity \"" + opts.writeCommunity + "\" default -V devsimView");
    for (const auto &u : opts.users) {
        std::string line = "createUser " + u.name;
        if (!u.authProtocol.empty())
            line += " " + u.authProtocol + " \"" + u.authPass + "\"";
        if (!u.privProtocol.empty())
            line += " " + u.privProtocol + " \"" + u.privPass + "\"";
        remember(lines, line);
        std::string level = u.privProtocol.empty() ? (u.authProtocol.empty() ? "noauth" : "auth") : "priv";
        remember(lines, "rwuser " + u.name + " " + level + " -V devsimView");
    }
    init_snmp("devsim");
    engine.boots = snmpv3_local_snmpEngineBoots();
    if (!saveEngine(enginePath, engine)) {
        std::cerr << "devsim: cannot write " << enginePath << "\n";
        snmp_shutdown("devsim");
        return 1;
    }

    netsnmp_transport *t = netsnmp_transport_open_server("snmp", listen.c_str());
    if (!t) {
        std::cerr << "devsim: cannot listen on " << listen << "\n";
        snmp_shutdown("devsim");
        return 1;
    }
    g.transport = t;
    g.send = t->f_send;
    t->f_send = sendAnswer;
    if (netsnmp_register_agent_nsap(t) == 0) {
        std::cerr << "devsim: cannot serve " << listen << "\n";
        snmp_shutdown("devsim");
        return 1;
    }

    static const oid root[] = {1, 3, 6, 1};
    netsnmp_handler_registration *reg = netsnmp_create_handler_registration(
        "devsim", handleRequest, root, OID_LENGTH(root), HANDLER_CAN_RWRITE);
    if (!reg || netsnmp_register_handler(reg) != MIB_REGISTERED_OK) {
        std::cerr << "devsim: cannot register the object tree\n";
        snmp_shutdown("devsim");
        return 1;
    }

    register_readfd(g.signalPipe[0], onSignalPipe, nullptr);
    if (opts.lifetimeSeconds > 0)
        snmp_alarm_register(static_cast<unsigned>(opts.lifetimeSeconds), 0, onLifetimeOver, nullptr);

    std::cout << "devsim ready " << listen << " state " << opts.stateDir << std::endl;
    while (g.running)
        agent_check_and_process(1);

    unregister_readfd(g.signalPipe[0]);
    snmp_shutdown("devsim");
    g.transport = nullptr;
    g_delayed.clear();
    g.device = nullptr;
    device.reset();
    close(g.signalPipe[0]);
    close(g.signalPipe[1]);
    if (tempState)
        fs::remove_all(opts.stateDir, ec);
    return 0;
}

} // namespace devsim
