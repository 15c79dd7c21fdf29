// A communication run against a simulated unit on COM1, every other port
// missing. The reply time-out is shortened to 300 ms so that silence and
// retries stay quick, yet a loaded machine still gets every answer in time;
// the product's 500 ms are checked once on their own.
#pragma once

#include "CommDriver.h"
#include "Messages.h"
#include "Mlsunit.h"
#include "SimUnit.h"
#include "SimUnitServices.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

class CommRun : public ::testing::Test {
protected:
    static constexpr int TestTimeoutMs = 300;

    SimUnit sim;
    SimUnitServices unit{sim};
    TMLSUnit texts{BuiltInMessages, std::string()};
    std::unique_ptr<TBaseComModule> link;
    CommDriver driver;
    TCommCmdList list;

    void SetUp() override {
        MapComPorts({{1, &sim}});
        link = std::make_unique<TBaseComModule>(&texts);
        link->GetMonitor()->SetTimeout(TestTimeoutMs);
    }
    void TearDown() override {
        link.reset();
        ClearComPorts();
    }

    _CommCmd* Add(int32_t service, std::string caption = "Command") {
        _CommCmd* c = list.Add();
        c->Service = service;
        c->Caption = std::move(caption);
        return c;
    }
    _CommCmd* AddComposite(int32_t super, std::string caption = "Composite") {
        _CommCmd* c = list.Add();
        c->SuperService = super;
        c->Caption = std::move(caption);
        return c;
    }
    CommDriver::Outcome Go(bool quiet = false) { return driver.Run(*link, list, quiet); }

    // The requests after the unit search's.
    std::vector<SimUnit::Request> Sent() const {
        std::vector<SimUnit::Request> all = sim.Requests();
        std::vector<SimUnit::Request> rest;
        for (const auto& r : all)
            if (r.Fnc != 0xC3) rest.push_back(r);
        return rest;
    }
    static _CommResult Result(uint8_t state, uint8_t data, uint16_t code) { return _CommResult{state, data, code}; }
    static bool Has(const std::string& log, const std::string& line) {
        return log.find(line + "\r\n") != std::string::npos;
    }
};

// The frame data of a request as a byte vector, for comparisons.
inline Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}
