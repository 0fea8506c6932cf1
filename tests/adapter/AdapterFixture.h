#pragma once
// A fresh adapter over the scripted driver for every test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "FakeDriver.h"
#include "adapter/Norvex.h"

namespace adapter_test {

class AdapterTest : public ::testing::Test {
protected:
    void SetUp() override {
        script() = Script();
        unsetenv("NORVEX_COM");
        previousHook_ = Orn::Fptr::setRegistryHookForTests(&fakeRegistry);
        adapter = std::make_unique<Orn::Fptr::Norvex::Norvex>();
    }
    void TearDown() override {
        adapter.reset();
        Orn::Fptr::setRegistryHookForTests(previousHook_);
        unsetenv("NORVEX_COM");
    }

    int32_t open(const std::wstring& port = L"COM1") {
        return adapter->openDLL(L"Admin", L"30", port, std::wstring());
    }
    void fail(const std::string& call, int32_t code, int32_t parameterCode = 0) {
        script().faults[call] = Fault{Failure::Register, code, parameterCode};
    }
    void fail(const std::string& call, Failure kind) { script().faults[call] = Fault{kind, 0, 0}; }

    std::unique_ptr<Orn::Fptr::Norvex::Norvex> adapter;

private:
    Orn::Fptr::RegistryHook previousHook_ = nullptr;
};

} // namespace adapter_test
