// The plain services of a communication run, one class per service type.
// Each is created once per run with the run's context and log; the sequencer
// finds it by its service id, hands it its command (SetCommand) before every
// Start, calls HandleReply after every reply or failed request and Continue
// after that.
#pragma once

#include "CommTask.h"
#include "ModelVersion.h"
#include "QXBlock.h"

#include <memory>
#include <vector>

// The services that work on one block of the caller's.
class TBlockTask : public TCommTask {
public:
    using TCommTask::TCommTask;
    void SetInputs(TQXBlockMem* block) { Block = block; }
    void SetCommand(const _CommCmd& c) override { SetInputs(static_cast<TQXBlockMem*>(c.Data)); }

protected:
    TQXBlockMem* Block = nullptr;
};

// Type 1: unit memory by address into a buffer, 70 bytes per packet.
class TctReadData : public TCommTask {
public:
    using TCommTask::TCommTask;
    static constexpr uint32_t PacketSize = 70;
    void SetInputs(uint8_t* buffer, uint32_t address, uint32_t length) {
        Data = buffer;
        Address = address;
        Length = length;
    }
    void SetCommand(const _CommCmd& c) override {
        SetInputs(CommandBuffer(c), static_cast<uint32_t>(c.Param), CommandLength(c));
    }
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    void SendPacket();
};

// Type 2: a buffer into unit memory by address, 70 bytes per packet.
class TctWriteData : public TCommTask {
public:
    using TCommTask::TCommTask;
    static constexpr uint32_t PacketSize = 70;
    void SetInputs(const uint8_t* buffer, uint32_t address, uint32_t length) {
        Data = const_cast<uint8_t*>(buffer);
        Address = address;
        Length = length;
    }
    void SetCommand(const _CommCmd& c) override {
        SetInputs(CommandBuffer(c), static_cast<uint32_t>(c.Param), CommandLength(c));
    }
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    void NextPacket();
    void SendPacket();
};

// Type 13: the unit's 24-byte memory configuration.
class TctReadMemConfig : public TCommTask {
public:
    using TCommTask::TCommTask;
    static constexpr size_t ConfigSize = 24;
    void SetInputs(uint8_t* buffer) { Data = buffer; }
    void SetCommand(const _CommCmd& c) override { SetInputs(static_cast<uint8_t*>(c.Data)); }
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    void SendPacket();
};

// Type 3: a program file as its binary records: a description packet, data
// packets of 128 bytes and a CRC packet.
class TctWriteSRec : public TCommTask {
public:
    using TCommTask::TCommTask;
    static constexpr uint32_t PacketSize = 128;
    static constexpr int32_t CrcRetries = 30;
    void SetInputs(const TTextLines* lines, std::string name) {
        Lines = lines;
        FileName = std::move(name);
    }
    void SetCommand(const _CommCmd& c) override { SetInputs(c.Lines, c.Name); }
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    const TTextLines* Lines = nullptr;
    std::string FileName;
    int Phase = 0;
    std::vector<uint8_t> Image;
    void SendPacket();
    void Done_();
};

// Type 4: clears a program slot.
class TctClearSRec : public TCommTask {
public:
    using TCommTask::TCommTask;
    void SetInputs(int32_t slot, std::string name) {
        Slot = slot;
        ProgramName = std::move(name);
    }
    void SetCommand(const _CommCmd& c) override { SetInputs(c.Param, c.Name); }
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    int32_t Slot = 0;
    std::string ProgramName;
    void SendPacket();
};

// Type 5: the 23 status bytes of a program slot.
class TctSRecStatus : public TCommTask {
public:
    using TCommTask::TCommTask;
    static constexpr size_t StatusSize = 23;
    void SetInputs(int32_t slot, uint8_t* buffer) {
        Slot = slot;
        Data = buffer;
    }
    void SetCommand(const _CommCmd& c) override { SetInputs(c.Param, static_cast<uint8_t*>(c.Data)); }
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    int32_t Slot = 0;
    void SendPacket();
};

// Type 7: one block's descriptor.
class TctReadBlockDescr : public TBlockTask {
public:
    using TBlockTask::TBlockTask;
    static constexpr size_t ReplySize = 50;
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    void SendPacket();
};

// Type 8: deletes one block, named by its descriptor and its name copy.
class TctDeleteBlock : public TBlockTask {
public:
    using TBlockTask::TBlockTask;
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    void SendPacket();
};

// Type 9: a block's header and data, packet by packet.
class TctReadBlock : public TBlockTask {
public:
    using TBlockTask::TBlockTask;
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    uint32_t DataLength = 0;
    void SendPacket();
};

// Type 10: a block's header and data in packets of 128 stream bytes, then
// the CRC-16 over the stream, which the unit echoes.
class TctWriteBlock : public TBlockTask {
public:
    using TBlockTask::TBlockTask;
    static constexpr uint32_t PacketSize = 128;
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    uint32_t Offset = 0;
    uint32_t DataLength = 0;
    uint32_t DataOffset = 0;
    uint16_t Crc = 0;
    int Phase = 0;
    void SendPacket();
};

// Type 11: deletes every block of a type, by the type's name.
class TctDeleteType : public TCommTask {
public:
    using TCommTask::TCommTask;
    void SetInputs(std::string name) { TypeName = std::move(name); }
    void SetCommand(const _CommCmd& c) override { SetInputs(c.Name); }
    void Start() override;
    void HandleReply() override;
    void Continue() override;

private:
    std::string TypeName;
    void SendPacket();
};

// Type 12: opens the COM port where the unit answers and reads its model
// version: the stored port first, then (when it cannot be opened) from port
// 1 on, or (when it stays silent) the ports above it.
// The log line that sums up the ports first..last that have no device on
// this machine: "COM97 to COM255: no device", or "COM97: no device" for one.
std::string NoDevicePortsText(int32_t first, int32_t last);

class TctSearchQX : public TCommTask {
public:
    using TCommTask::TCommTask;
    static constexpr int32_t SearchRetries = 3;
    static constexpr int32_t LastPort = 255;
    // model: the run's record (out: the unit's model); expected: the model
    // the run was started with; both for every search of the run.
    void SetRun(_QXModelVersion* model, const _QXModelVersion& expected) {
        RunModel = model;
        Expected = expected;
    }
    // The command names the caller's port number (in/out) and the baud index.
    void SetCommand(const _CommCmd& c) override {
        CallerPort = static_cast<int32_t*>(c.Data);
        BaudIndex = c.Param;
    }
    void Start() override;
    void HandleReply() override;
    void Continue() override;
    int32_t GetPort() const { return Port; }

private:
    bool FirstAttempt = false;
    int32_t Port = 0;
    _QXModelVersion Expected;
    int32_t* CallerPort = nullptr;
    int32_t BaudIndex = 0;
    _QXModelVersion* RunModel = nullptr;
    // The ports without a device passed over since the last line logged
    // (none while NoDeviceFrom is 0); the log sums them up on one line.
    int32_t NoDeviceFrom = 0;
    int32_t NoDeviceTo = 0;
    bool OpenNextAndSend();
    bool OpenFromNext();
    bool OpenPort();
    void LogNoDevicePorts();
    void SendPacket();
};
