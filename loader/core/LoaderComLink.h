// The loader's link to the boot loader over the configuration program's
// serial port and framing layers, in the loader's variant: the writer waits
// for a write without a limit, the first two reply bytes are taken as they
// come, nothing is drained before a request, the time-out count starts at 3,
// and the outcome is awaited in slices.
#pragma once

#include <memory>

#include "Com.h"
#include "Comserveunit.h"
#include "LoaderTypes.h"

class TComServLink : public TLoaderLink {
public:
    TComServLink();
    ~TComServLink() override;

    bool Open(const std::string& port, int64_t baud) override;
    void SetTimeoutCount(uint8_t count) override { Serv->SetTimeoutCount(count); }
    bool Send(std::span<const uint8_t> frame) override;
    std::optional<TReplyOutcome> WaitSlice(int sliceMs, std::vector<uint8_t>& reply) override;
    void Close() override { Port.Close(); }

    // Why the last Open failed, as the serial layer names it.
    std::string OpenError() const { return Port.OpenError(); }

private:
    ComObj Port;
    std::unique_ptr<ComServ> Serv;
};
