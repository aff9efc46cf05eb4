#pragma once
// Shared set-up of the form kit tests: an application object, scripted message boxes, item
// tables built in place, modal dialogs driven from posted calls, and the simulated device
// with the kit's test tables.
#include "GUIConfigForm.h"
#include "GUIGenerator.h"
#include "KvOptionList.h"
#include "KvSNMPRequest2Edits.h"
#include "KvSNMPSession.h"
#include "Pump.h"
#include "TestEnv.h"
#include "Vcl.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace formkittest {

struct Item {
    std::string oid;
    std::string name;
    int32_t syntax;
    uint32_t access;
    KvOptionList *options = nullptr;
};

inline KvSNMPVarList makeList(const std::vector<Item> &items, KvSNMPItemType type, int keyCount)
{
    std::vector<KvSNMPItem> table;
    for (const Item &s : items)
        table.emplace_back(s.oid.c_str(), s.name.c_str(), s.syntax, s.access, s.options);
    table.emplace_back();
    return KvSNMPVarList(table.data(), type, keyCount);
}

// A binding over the list, owned by the caller until a form takes it.
inline std::unique_ptr<KvSNMPRequest2Edits> makeBinding(TForm *owner, const KvSNMPVarList &list)
{
    auto binding = std::make_unique<KvSNMPRequest2Edits>(owner);
    binding->Request.VarList = list;
    return binding;
}

using kvtest::pumpUntil;

// The modal form on top (owned by the application), or null.
inline TForm *modalForm()
{
    if (!Application)
        return nullptr;
    for (int i = Application->ComponentCount() - 1; i >= 0; --i)
        if (auto *f = dynamic_cast<TForm *>(Application->Components(i)))
            if (f->Modal())
                return f;
    return nullptr;
}

// Runs action on the next modal form once its own loop runs, from a timer (a form that reads
// as it shows is modal before its loop runs; an action run inside that read's wait would hold
// the wait). A form that the action leaves open is closed afterwards, so a failing test cannot
// hang in ShowModal.
inline void onNextModal(std::function<void(TForm *)> action,
                        int outerLoop = QThread::currentThread()->loopLevel(),
                        std::chrono::steady_clock::time_point giveUpAt = std::chrono::steady_clock::now() +
                                                                         std::chrono::seconds(30))
{
    QTimer::singleShot(5, QCoreApplication::instance(), [action, outerLoop, giveUpAt] {
        TForm *form = modalForm();
        if (!form || QThread::currentThread()->loopLevel() <= outerLoop) {
            if (std::chrono::steady_clock::now() < giveUpAt)
                onNextModal(action, outerLoop, giveUpAt);
            return;
        }
        action(form);
        if (TForm *still = modalForm(); still == form)
            form->Close();
    });
}

// The first control of type T (depth first) inside a control.
template <class T> T *findControl(TWinControl *root)
{
    for (int i = 0; i < root->ControlCount(); ++i) {
        TControl *c = root->Controls(i);
        if (auto *t = dynamic_cast<T *>(c))
            return t;
        if (auto *w = dynamic_cast<TWinControl *>(c))
            if (T *t = findControl<T>(w))
                return t;
    }
    return nullptr;
}

class KitTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kv::MessageBoxService::instance().reset();
        kv::MessageBoxService::instance().setInteractive(0);
        app = std::make_unique<TApplication>();
        app->SetTitle("QRN-5290AP");
        host = new TForm(app.get());
        host->SetCaption("Host");
        host->SetWidth(600);
        host->SetHeight(400);
    }
    void TearDown() override
    {
        app.reset();
        kv::processMessages();
        kv::MessageBoxService::instance().reset();
    }
    kv::MessageBoxService &boxes() { return kv::MessageBoxService::instance(); }

    std::unique_ptr<TApplication> app;
    TForm *host = nullptr;
};

} // namespace formkittest
