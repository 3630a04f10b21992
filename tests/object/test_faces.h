#pragma once

#include <atomic>

#include "object/impl.h"

// Small interfaces and components for the runtime's own tests.
class Greeter : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Test::Greeter"};
    using Parent = BaseFace;
    virtual int Greet() = 0;
};

class LoudGreeter : public Greeter {
public:
    static constexpr Iid kIid{u"IID_Test::LoudGreeter"};
    using Parent = Greeter;
    virtual int Shout() = 0;
};

class Counter : public BaseFace {
public:
    static constexpr Iid kIid{u"IID_Test::Counter"};
    using Parent = BaseFace;
    virtual int Count() = 0;
};

// Counts live instances so tests can see destruction.
class TestObject final : public Object::Impl<TestObject, LoudGreeter, Counter> {
public:
    static constexpr char16_t kClsid[] = u"CID_Test::Object";
    static inline std::atomic<int> live{0};

    TestObject() { ++live; }
    ~TestObject() { --live; }

    int Greet() override { return 1; }
    int Shout() override { return 2; }
    int Count() override { return 3; }
};
