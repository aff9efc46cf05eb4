#include "FtpServer.h"

#include "TestEnv.h"

#include <filesystem>

namespace kvtest {

FtpServer::FtpServer(const std::string &user, const std::string &password) : m_folder(makeTempDir("kv-ftp-"))
{
    const std::string script = sourceDir() + "/tests/support/ftp-login-server.py";
    if (!m_proc.start({"/usr/bin/python3", script, m_folder, user, password}) ||
        !m_proc.waitForLine(" ready", 10000))
        return;
    const std::string &out = m_proc.output();
    const auto at = out.find("listening ");
    if (at != std::string::npos)
        m_port = std::atoi(out.c_str() + at + 10);
}

FtpServer::~FtpServer()
{
    m_proc.stop();
    std::error_code ec;
    std::filesystem::remove_all(m_folder, ec);
}

} // namespace kvtest
