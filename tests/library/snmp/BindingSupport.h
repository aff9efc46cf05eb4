#pragma once
// Shared pieces of the binding tests: the simulated access point with the test tables, a
// GUI fixture with a form, and helpers that build variable lists and pump events.
#include "EngineTestSupport.h"
#include "Exception.h"
#include "Forms.h"
#include "Harness.h"
#include "KvSNMPRequest2Edits.h"
#include "MessageBoxService.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bindtest {

constexpr const char *kTableBase = "1.3.6.1.4.1.32473.11.37.4.97.1.1";

// devsim on 127.0.0.1 with the test tables laid over its catalog.
class Devsim : public devsimtest::Devsim {
public:
    explicit Devsim(const std::vector<std::string> &extraArgs = {});
};

std::string devsimProgram();
std::string tablesCatalog();

// Builds a list from (oid, name, syntax, access, options) records.
struct Col {
    std::string oid;
    std::string name;
    int32_t syntax;
    uint32_t access;
    KvOptionList *options = nullptr;
    std::string value = {};
};
KvSNMPVarList makeList(const std::vector<Col> &cols, KvSNMPItemType type, int keyCount,
                       const std::string &name = {});

// The three-row test table: key (hidden), name, number, address.
KvSNMPVarList tableList(KvSNMPItemType type = MVT_FMV);

// Points a request at the simulated device (SNMPv2c, its default communities).
void target(KvSNMPRequest &r, int port);

using kvtest::pumpUntil;

// A fresh application and form, scripted message boxes.
class BindingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    kv::MessageBoxService &boxes() { return kv::MessageBoxService::instance(); }

    std::unique_ptr<TApplication> app;
    TForm *form = nullptr;
};

// Expects the framework exception with that help context.
template <class F> void expectCode(int code, F &&f)
{
    try {
        f();
        ADD_FAILURE() << "no exception, expected code " << code;
    } catch (const Exception &e) {
        EXPECT_EQ(e.HelpContext, code) << e.Message;
    }
}

} // namespace bindtest
