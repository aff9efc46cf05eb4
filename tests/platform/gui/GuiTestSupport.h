#pragma once
// A fresh application object and scripted message boxes for every GUI test.
#include "Forms.h"
#include "MessageBoxService.h"

#include <gtest/gtest.h>

#include <memory>

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        kv::MessageBoxService::instance().reset();
        kv::MessageBoxService::instance().setInteractive(0);
        app = std::make_unique<TApplication>();
        app->SetTitle("QRN-5290AP");
    }
    void TearDown() override
    {
        app.reset();
        kv::processMessages();
        kv::MessageBoxService::instance().reset();
    }
    kv::MessageBoxService &boxes() { return kv::MessageBoxService::instance(); }

    std::unique_ptr<TApplication> app;
};
