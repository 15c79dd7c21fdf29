#include "LoaderComLink.h"

#include "SerialPort.h"

std::unique_ptr<TLoaderLink> CreateLoaderLink() { return std::make_unique<TComServLink>(); }

namespace {

ComServOptions LoaderFraming() {
    ComServOptions options;
    options.CheckAddresses = false;
    options.PurgeBeforeRequest = false;
    options.TimeoutCount = 3;
    return options;
}

}  // namespace

TComServLink::TComServLink() : Port(ComObjOptions{0}), Serv(std::make_unique<ComServ>(&Port, LoaderFraming())) {}

TComServLink::~TComServLink() {
    Serv.reset();  // the framing thread ends before the port goes
    Port.Stop();
}

bool TComServLink::Open(const std::string& port, int64_t baud) {
    // Only a port name opens a port: "COM<n>", mapped by the serial layer.
    if (ComPortNumber(port) == 0 || port.rfind("\\\\.\\", 0) == 0) return false;
    if (baud <= 0 || baud > UINT32_MAX) return false;
    const std::string name = "\\\\.\\" + port;
    if (!Port.Open(name.c_str())) return false;
    if (!Port.GetState()) {
        Port.Close();
        return false;
    }
    ComLineSettings(Port.LineState, static_cast<uint32_t>(baud));
    if (!Port.SetState()) {
        Port.Close();
        return false;
    }
    return true;
}

bool TComServLink::Send(std::span<const uint8_t> frame) {
    if (!Port.IsOpen()) return false;
    return Serv->Request(frame.data(), frame.size());
}

std::optional<TReplyOutcome> TComServLink::WaitSlice(int sliceMs, std::vector<uint8_t>& reply) {
    switch (Serv->WaitOutcome(sliceMs)) {
        case ComServ::Pending: return std::nullopt;
        case ComServ::Timeout: return TReplyOutcome::TimeOut;
        case ComServ::Reply: {
            uint8_t buffer[ComServ::MaxFrame];
            const int n = Serv->ReadReply(buffer, sizeof buffer);
            if (n < 0) return TReplyOutcome::Error;
            reply.assign(buffer, buffer + n);
            return TReplyOutcome::Reply;
        }
        default: return TReplyOutcome::Error;
    }
}
