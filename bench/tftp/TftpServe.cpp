// tftp-serve FOLDER PORT: serves FOLDER with KvTFTPServer on 127.0.0.1:PORT until SIGTERM
// or SIGINT, writing one line per status (except the per-block one) to standard error.
#include "EventLoop.h"
#include "Exception.h"
#include "TFTPServer.h"

#include <QCoreApplication>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: tftp-serve FOLDER PORT\n");
        return 2;
    }
    int port = 0;
    std::string_view portText(argv[2]);
    auto [end, ec] = std::from_chars(portText.data(), portText.data() + portText.size(), port);
    if (ec != std::errc() || end != portText.data() + portText.size() || port < 0 || port > 65535) {
        std::fprintf(stderr, "tftp-serve: bad port %s\n", argv[2]);
        return 2;
    }
    QCoreApplication app(argc, argv);

    kv::TerminationSignals stop([] { QCoreApplication::quit(); });

    KvTFTPServer server;
    server.SetListenAddress("127.0.0.1");
    server.SetTimeout(100, 3);
    server.SetOnStatus([](KvTFTPServer *, const KvTFTPMsg *m, bool *) {
        if (m->Code == 2)
            return;
        std::fprintf(stderr, "session %d %s %s:%d \"%s\" %lld bytes: %d %s\n", m->SessionNo,
                     m->Kind == 1 ? "read" : "write", m->RemoteIP.c_str(), m->RemotePort, m->FileName.c_str(),
                     static_cast<long long>(m->Bytes), m->Code, m->Message.c_str());
    });
    try {
        server.Start(argv[1], port);
    } catch (const Exception &e) {
        std::fprintf(stderr, "tftp-serve: %s\n", e.Message.c_str());
        return 1;
    }
    std::fprintf(stderr, "tftp-serve: serving %s on 127.0.0.1:%d\n", server.GetRootDir().c_str(),
                 server.ListeningPort());
    QCoreApplication::exec();
    server.Stop();
    std::fprintf(stderr, "tftp-serve: stopped\n");
    return 0;
}
