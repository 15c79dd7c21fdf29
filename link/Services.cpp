#include "Services.h"

#include "Bytes.h"
#include "Fcs.h"
#include "FunctionCodes.h"
#include "SerialPort.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------- read data

void TctReadData::Start() {
    ClearError();
    // Addresses travel in 24 bits: a range beyond them would wrap.
    if (!Data || uint64_t{Address} + Length > QXWire::AddressSpace) return FailStart();
    Done = 0;
    Packets = 0;
    LogMessage(Msg::LogReadDataStarted);
    Become(csReadData, Length);
    SendPacket();
}

void TctReadData::SendPacket() {
    Chunk = std::min(PacketSize, Length - Done);
    if (Chunk == 0) {
        LogMessage(Msg::LogUploadComplete);
        ProgressToMax();
        return Finish();
    }
    uint8_t request[4];
    LePut24(request, Address);
    request[3] = static_cast<uint8_t>(Chunk);
    SendRequest(QXWire::Request::ReadData, request, sizeof request);
}

void TctReadData::HandleReply() {
    if (!Classify(QXWire::Reply::Data, 3 + size_t{Chunk}, ceReadRefused, Msg::LogWriteNak)) return;
    if (LeGet24(ReplyData()) != (Address & (QXWire::AddressSpace - 1))) {
        // Data for another address would leave a hole: retried, and the
        // read fails when the last try ends the same way.
        SetError(ceUnexpectedReply);
        LogMessage(Msg::LogAddressMismatch);
    }
}

void TctReadData::Continue() {
    if (Failed(0, [this] { SendPacket(); })) return;
    std::memcpy(Data + Done, ReplyData() + 3, Chunk);
    ++Packets;
    Done += Chunk;
    Address += Chunk;
    LogMessage(Msg::LogUploaded, Dec(Done), Dec(Packets));
    UpdateProgress();
    Retries = DefaultRetries;
    SendPacket();
}

// --------------------------------------------------------------- write data

void TctWriteData::Start() {
    ClearError();
    // Addresses travel in 24 bits: a range beyond them would wrap.
    if (!Data || uint64_t{Address} + Length > QXWire::AddressSpace) return FailStart();
    LogMessage(Msg::LogStartAddress, Hex(Address, 6));
    Done = 0;
    Packets = 0;
    LogMessage(Msg::LogWriteDataStarted);
    Become(csWriteData, Length);
    NextPacket();
}

void TctWriteData::NextPacket() {
    Chunk = std::min(PacketSize, Length - Done);
    if (Chunk == 0) {
        LogMessage(Msg::LogDownloadComplete);
        ProgressToMax();
        return Finish();
    }
    SendPacket();
}

void TctWriteData::SendPacket() {
    LogMessage(Msg::LogAddress, Hex(Address, 6));
    uint8_t request[3 + PacketSize];
    LePut24(request, Address);
    std::memcpy(request + 3, Data + Done, Chunk);
    SendRequest(QXWire::Request::WriteData, request, 3 + Chunk);
}

void TctWriteData::HandleReply() { Classify(QXWire::Reply::Acknowledge, 0, ceWriteRefused, Msg::LogWriteNak); }

void TctWriteData::Continue() {
    if (Failed(ceWriteRefused, [this] { SendPacket(); })) return;
    ++Packets;
    Done += Chunk;
    Address += Chunk;
    LogMessage(Msg::LogDownloaded, Dec(Done), Dec(Packets));
    UpdateProgress();
    Retries = DefaultRetries;
    NextPacket();
}

// ---------------------------------------------------- memory configuration

void TctReadMemConfig::Start() {
    ClearError();
    if (!Data) return FailStart();
    LogMessage(Msg::LogReadMemoryConfig);
    Become(csReadMemConfig, 1);
    SendPacket();
}

void TctReadMemConfig::SendPacket() {
    const uint8_t request[1] = {QXWire::MemConfigSelector};
    SendRequest(QXWire::Request::ReadInfo, request, sizeof request);
}

void TctReadMemConfig::HandleReply() { Classify(QXWire::Reply::Info, 1 + ConfigSize, 0, 0); }

void TctReadMemConfig::Continue() {
    if (Failed(0, [this] { SendPacket(); })) return;
    std::memcpy(Data, ReplyData() + 1, ConfigSize);
    Context->Progress.Count = 1;
    ProgressToMax();
    Finish();
}

// ----------------------------------------------------------- program files

void TctWriteSRec::Start() {
    ClearError();
    Image.clear();
    bool prepared = Lines != nullptr && BuildLinesImage(*Lines, Image) == 0;
    // The description carries the size in 24 bits and the packet count in 16.
    const uint64_t packets = (uint64_t{Image.size()} + PacketSize - 1) / PacketSize;
    if (prepared && (Image.size() > 0xFFFFFF || packets > 0xFFFF)) prepared = false;
    if (!prepared) {
        Image.clear();
        Image.shrink_to_fit();
        LogMessage(Msg::LogFileOpenError);
        return SetError(ceNoInput);
    }
    LogMessage(Msg::LogWriteSRecStarted);
    LogMessage(Msg::LogFileName, FileName);
    Become(csWriteSRec, static_cast<int64_t>(Image.size()));
    Length = static_cast<uint32_t>(Image.size());
    Done = 0;
    Packets = 0;
    Phase = 1;
    SendPacket();
}

void TctWriteSRec::SendPacket() {
    uint8_t request[TTlgrItem::MaxData];
    if (Phase == 1) {
        const uint32_t count = (Length + PacketSize - 1) / PacketSize;
        request[0] = QXWire::ProgramDescriptionMarker;
        PutName(request + 1, FileName, 15, 16);
        LePut24(request + 17, Length);
        LePut16(request + 20, static_cast<uint16_t>(count));
        LogMessage(Msg::LogPacketsCount, Dec(count));
        LogMessage(Msg::LogFileDescriptionSent);
        SendRequest(QXWire::Request::ProgramPacket, request, 22);
    } else if (Phase == 2) {
        Chunk = static_cast<uint32_t>(CopyChunk(request, Image.data(), Done, PacketSize, Image.size()));
        LogMessage(Msg::LogDataPacketSent, Dec(Packets), Dec(Chunk));
        SendRequest(QXWire::Request::ProgramPacket, request, Chunk);
    } else {
        const uint16_t crc = CalcFcs16(Image.data(), Image.size());
        LePut16(request, crc);
        LogMessage(Msg::LogCrcPacketSent, Hex(crc, 4));
        SendRequest(QXWire::Request::CheckPacket, request, 2);
    }
}

void TctWriteSRec::HandleReply() { Classify(QXWire::Reply::Acknowledge, 0, ceSRecRefused, Msg::LogWriteSRecNak); }

void TctWriteSRec::Done_() {
    Image.clear();
    Image.shrink_to_fit();
    Finish();
}

void TctWriteSRec::Continue() {
    if (Failed(ceSRecRefused, [this] { SendPacket(); }, [this] { Done_(); })) return;
    if (Phase == 1) {
        Phase = 2;
        Retries = DefaultRetries;
        if (Image.empty()) return Done_();
        return SendPacket();
    }
    if (Phase == 2) {
        ++Packets;
        Done += Chunk;
        LogMessage(Msg::LogFileDownloaded, Dec(Done), Dec(Packets));
        UpdateProgress();
        if (Done < Length) {
            Retries = DefaultRetries;
            return SendPacket();
        }
        Phase = 3;
        Retries = CrcRetries;
        return SendPacket();
    }
    LogMessage(Msg::LogFileDownloadComplete);
    ProgressToMax();
    Done_();
}

void TctClearSRec::Start() {
    ClearError();
    // A slot travels in one byte: another number would clear another slot.
    if (Slot < 0 || Slot > 0xFF) return FailStart();
    LogMessage(Msg::LogClearSRecStarted);
    LogMessage(Msg::LogSRecNumber, Hex(static_cast<uint32_t>(Slot), 6));
    LogMessage(Msg::LogSRecFileName, ProgramName);
    Become(csClearSRec, 1);
    SendPacket();
}

void TctClearSRec::SendPacket() {
    uint8_t request[17];
    request[0] = static_cast<uint8_t>(Slot);
    PutName(request + 1, ProgramName, 15, 16);
    SendRequest(QXWire::Request::ClearProgram, request, sizeof request);
}

void TctClearSRec::HandleReply() { Classify(QXWire::Reply::Acknowledge, 0, ceClearRefused, Msg::LogClearSRecNak); }

void TctClearSRec::Continue() {
    if (Failed(ceClearRefused, [this] { SendPacket(); })) return;
    Succeed(Msg::LogFileCleared);
}

void TctSRecStatus::Start() {
    ClearError();
    if (!Data || Slot < 0 || Slot > 0xFF) return FailStart();
    LogMessage(Msg::LogReadSRecStatusStarted);
    LogMessage(Msg::LogSRecNumber, Hex(static_cast<uint32_t>(Slot), 6));
    Become(csSRecStatus, StatusSize);
    SendPacket();
}

void TctSRecStatus::SendPacket() {
    const uint8_t request[2] = {QXWire::ProgramStatusMarker, static_cast<uint8_t>(Slot)};
    SendRequest(QXWire::Request::ProgramStatus, request, sizeof request);
}

void TctSRecStatus::HandleReply() { Classify(QXWire::Reply::ProgramStatus, 1 + StatusSize, 0, 0); }

void TctSRecStatus::Continue() {
    if (Context->ErrorCode == 0 && ReplyData()[0] == QXWire::ProgramStatusMarker) {
        std::memcpy(Data, ReplyData() + 1, StatusSize);
        LogMessage(Msg::LogSRecStatusRead);
        Context->Progress.Count = StatusSize;
        ProgressToMax();
        return Finish();
    }
    if (Context->ErrorCode == 0) {
        SetError(ceUnexpectedReply);
        LogMessage(Msg::LogWrongStatusPacket);
    }
    if (TakeRetry()) return SendPacket();
    Finish();
}

// ------------------------------------------------------------------ blocks

namespace {
// Inside a composite the bar moves by 20 per descriptor and wraps.
void StepCompositeBar(_CommProgress& p) {
    p.Position += 20;
    if (p.Position >= p.Max) p.Position = p.Min;
}
}  // namespace

void TctReadBlockDescr::Start() {
    ClearError();
    if (!Block) return FailStart();
    LogMessage(Msg::LogReadBlockDescrStarted);
    if (Context->SuperService != 0) {
        Context->Service = csReadBlockDescr;
        Retries = DefaultRetries;
    } else {
        Become(csReadBlockDescr, 1);
    }
    SendPacket();
}

void TctReadBlockDescr::SendPacket() {
    const uint8_t request[2] = {Block->MemType, Block->Index};
    SendRequest(QXWire::Request::ReadInfo, request, sizeof request);
}

void TctReadBlockDescr::HandleReply() { Classify(QXWire::Reply::Info, ReplySize, ceBlockDescrRefused, Msg::LogWriteNak); }

void TctReadBlockDescr::Continue() {
    if (Failed(ceBlockDescrRefused, [this] { SendPacket(); })) return;
    LogMessage(Msg::LogBlockDescrRead);
    const uint8_t* d = ReplyData();
    Block->Clear();
    Block->MemType = d[0];
    Block->Index = d[1];
    std::memcpy(Block->Descriptor, d + 2, sizeof Block->Descriptor);
    std::memcpy(Block->Header, d + 10, BlockHeaderSize);
    Block->SetHeadCopy(d + 16);
    if (Context->SuperService != 0) {
        StepCompositeBar(Context->Progress);
    } else {
        Context->Progress.Count = 1;
        ProgressToMax();
    }
    Finish();
}

void TctDeleteBlock::Start() {
    ClearError();
    // The unit names the block to delete by its name copy as well.
    if (!Block || !Block->HeadCopy()) return FailStart();
    LogMessage(Msg::LogDeleteBlockStarted);
    Become(csDeleteBlock, 1);
    SendPacket();
}

void TctDeleteBlock::SendPacket() {
    uint8_t request[25];
    request[0] = Block->MemType;
    request[1] = Block->Index;
    std::memcpy(request + 2, Block->Header, BlockHeaderSize);
    std::memcpy(request + 8, Block->HeadCopy(), 17);
    SendRequest(QXWire::Request::Delete, request, sizeof request);
}

void TctDeleteBlock::HandleReply() { Classify(QXWire::Reply::Acknowledge, 0, ceDeleteBlockRefused, Msg::LogDeleteBlockNak); }

void TctDeleteBlock::Continue() {
    if (Failed(ceDeleteBlockRefused, [this] { SendPacket(); })) return;
    Succeed(Msg::LogBlockDeleted);
}

void TctReadBlock::Start() {
    ClearError();
    if (!Block) return FailStart();
    Address = 0;
    DataLength = 0;
    Length = 0;
    Done = 0;
    LogMessage(Msg::LogReadBlockStarted);
    Become(csReadBlock, 0);
    SendPacket();
}

void TctReadBlock::SendPacket() {
    uint8_t request[4] = {Block->MemType, Block->Index};
    LePut16(request + 2, static_cast<uint16_t>(Address));
    LogMessage(Msg::LogBlockRequestSent, Hex(Block->MemType, 2), Hex(Block->Index, 2), Hex(Address, 4));
    SendRequest(QXWire::Request::ReadBlock, request, sizeof request);
}

void TctReadBlock::HandleReply() {
    // The first reply carries the header: it needs 10 data bytes.
    const size_t minData = Address == 0 ? 4 + BlockHeaderSize : 4;
    if (!Classify(QXWire::Reply::BlockData, minData, ceReadBlockRefused, Msg::LogReadBlockNak)) return;
    if (LeGet16(ReplyData() + 2) != Address) {
        LogMessage(Msg::LogAddressMismatch);
        return SetError(ceReadBlockRefused);
    }
    if (Address != 0 && ReplyLength() == 4) {
        // No data bytes: the read would not advance.
        SetError(ceUnexpectedReply);
        LogMessage(Msg::LogServiceError, Hex(ReplyFnc(), 2), Hex(ReplyData()[0], 2));
    }
}

void TctReadBlock::Continue() {
    // Refusals and replies for another offset end the read at once.
    if (Failed(ceReadBlockRefused, [this] { SendPacket(); })) return;
    const uint8_t* d = ReplyData();
    const size_t length = ReplyLength();
    uint32_t n = 0;
    if (Address == 0) {
        Block->Clear();
        Block->MemType = d[0];
        Block->Index = d[1];
        std::memcpy(Block->Header, d + 4, BlockHeaderSize);
        DataLength = GetBlockDataLength(Block->Header);
        if (DataLength > 0 && !Block->AllocData(DataLength)) {
            // A header length below 6 wraps beyond any block: not a block.
            LogMessage(Msg::LogServiceError, Hex(ReplyFnc(), 2), Hex(d[0], 2));
            SetError(ceReadBlockRefused);
            return Finish();
        }
        n = static_cast<uint32_t>(std::min<size_t>(length - 10, DataLength));
        if (n > 0) std::memcpy(Block->Data(), d + 10, n);
        LogMessage(Msg::LogBlockReceived, Hex(Block->MemType, 2), Hex(Block->Index, 2), Hex(Address, 4), Dec(n), Dec(DataLength));
        Address = n + BlockHeaderSize;
        Length = DataLength;
        Context->Progress.Total = DataLength;
    } else {
        const uint32_t dataOffset = Address - BlockHeaderSize;
        n = static_cast<uint32_t>(std::min<size_t>(length - 4, DataLength - dataOffset));
        std::memcpy(Block->Data() + dataOffset, d + 4, n);
        LogMessage(Msg::LogBlockReceived, Hex(Block->MemType, 2), Hex(Block->Index, 2), Hex(Address, 4), Dec(n), Dec(DataLength));
        Address += n;
    }
    Done = Address - BlockHeaderSize;
    UpdateProgress();
    Retries = DefaultRetries;
    if (Address < DataLength + BlockHeaderSize) return SendPacket();
    ProgressToMax();
    Finish();
}

void TctWriteBlock::Start() {
    ClearError();
    // The stream is the header and the data it names: a block that holds
    // fewer data bytes than its header says cannot be written.
    if (!Block) return FailStart();
    DataLength = GetBlockDataLength(Block->Header);
    if (Block->GetDataLength() < DataLength || (DataLength > 0 && !Block->Data())) return FailStart();
    Offset = 0;
    Chunk = 0;
    DataOffset = 0;
    Crc = 0;
    Phase = 1;
    LogMessage(Msg::LogWriteBlockStarted);
    Become(csWriteBlock, DataLength + BlockHeaderSize);
    Length = DataLength + BlockHeaderSize;
    SendPacket();
}

void TctWriteBlock::SendPacket() {
    uint8_t request[4 + PacketSize];
    if (Phase == 1) {
        request[0] = Block->MemType;
        request[1] = Block->Index;
        LePut16(request + 2, static_cast<uint16_t>(Offset));
        if (Offset == 0) {
            Chunk = std::min(DataLength + uint32_t{BlockHeaderSize}, PacketSize);
            std::memcpy(request + 4, Block->Header, BlockHeaderSize);
            if (Chunk > BlockHeaderSize) std::memcpy(request + 4 + BlockHeaderSize, Block->Data(), Chunk - BlockHeaderSize);
        } else {
            DataOffset = Offset - BlockHeaderSize;
            Chunk = std::min(DataLength - DataOffset, PacketSize);
            std::memcpy(request + 4, Block->Data() + DataOffset, Chunk);
        }
        SendRequest(QXWire::Request::BlockPacket, request, Chunk + 4);
        return;
    }
    std::vector<uint8_t> stream(size_t{DataLength} + BlockHeaderSize);
    std::memcpy(stream.data(), Block->Header, BlockHeaderSize);
    if (DataLength > 0) std::memcpy(stream.data() + BlockHeaderSize, Block->Data(), DataLength);
    Crc = CalcFcs16(stream.data(), stream.size());
    LePut16(request, Crc);
    LogMessage(Msg::LogFcsPacketSent, Hex(Crc, 2));
    SendRequest(QXWire::Request::CheckPacket, request, 2);
}

void TctWriteBlock::HandleReply() {
    const bool good = Classify(Phase == 1 ? QXWire::Reply::BlockPacketAck : QXWire::Reply::CheckAck, Phase == 1 ? 0 : 2, ceWriteBlockRefused, Msg::LogWriteBlockNak);
    if (!good && Context->ErrorCode == ceWriteBlockRefused && Context->ErrorData == QXWire::Refusal::DataOverwrite)
        Context->ErrorCode = ceBlockExists;
}

void TctWriteBlock::Continue() {
    if (Failed(ceWriteBlockRefused, [this] { SendPacket(); })) return;
    if (Phase == 1) {
        LogMessage(Msg::LogBlockDataSent);
        Offset += Chunk;
        Done = Offset;
        UpdateProgress();
        Retries = DefaultRetries;
        if (Offset >= DataLength + BlockHeaderSize) Phase = 2;
        return SendPacket();
    }
    if (LeGet16(ReplyData()) != Crc) SetError(ceBlockFcs);
    Phase = 3;
    ProgressToMax();
    Finish();
}

void TctDeleteType::Start() {
    ClearError();
    LogMessage(Msg::LogDeleteTypeStarted);
    Become(csDeleteType, 1);
    SendPacket();
}

void TctDeleteType::SendPacket() {
    uint8_t request[18];
    request[0] = QXWire::DeleteTypeSelector;
    PutName(request + 1, TypeName, 16, 17);
    SendRequest(QXWire::Request::Delete, request, sizeof request);
}

void TctDeleteType::HandleReply() { Classify(QXWire::Reply::Acknowledge, 0, ceDeleteTypeRefused, Msg::LogDeleteTypeNak); }

void TctDeleteType::Continue() {
    if (Failed(ceDeleteTypeRefused, [this] { SendPacket(); })) return;
    Succeed(Msg::LogTypeDeleted);
}

// ------------------------------------------------------------- unit search

std::string NoDevicePortsText(int32_t first, int32_t last) {
    std::string text = "COM" + std::to_string(first);
    if (last != first) text += " to COM" + std::to_string(last);
    return text + ": no device";
}

void TctSearchQX::Start() {
    ClearError();
    NoDeviceFrom = NoDeviceTo = 0;
    LogMessage(Msg::LogSearchStarted);
    if (!CallerPort || !RunModel) return FailStart();
    RunModel->Clear();
    Become(csSearchQX, 0);
    Retries = SearchRetries;
    Port = *CallerPort;
    FirstAttempt = true;
    if (Context->ComModule->IsOpen()) Context->ComModule->Close();
    if (!OpenNextAndSend()) {
        LogMessage(Msg::QXNotFound);
        SetError(ceUnitNotFound);
        Finish();
    }
}

void TctSearchQX::LogNoDevicePorts() {
    if (NoDeviceFrom == 0) return;
    Log(NoDevicePortsText(NoDeviceFrom, NoDeviceTo));
    NoDeviceFrom = NoDeviceTo = 0;
}

// A port that fails is logged with its cause on the line after the message,
// the stored port always; the ports of the scan that have no device on this
// machine are summed up on one line instead of a line each.
bool TctSearchQX::OpenPort() {
    const bool opened = Context->ComModule->Open(Port, BaudIndex);
    if (!opened && !FirstAttempt && !ComPortHasDevice(Port) && (NoDeviceFrom == 0 || NoDeviceTo == Port - 1)) {
        if (NoDeviceFrom == 0) NoDeviceFrom = Port;
        NoDeviceTo = Port;
    } else {
        LogNoDevicePorts();
        if (!opened) Log(Text(Msg::CannotOpenComPort, Dec(Port)) + "\r\n" + Context->ComModule->OpenError());
    }
    if (Context->ProcessMessages) Context->ProcessMessages();
    return opened;
}

bool TctSearchQX::OpenNextAndSend() {
    const bool sent = OpenFromNext();
    LogNoDevicePorts();
    return sent;
}

bool TctSearchQX::OpenFromNext() {
    if (!FirstAttempt) {
        if (Port >= LastPort) return false;
        ++Port;
    }
    for (;;) {
        // Once the run is over or cancelled no port is opened any more.
        if (Context->RunEnded && Context->RunEnded()) return false;
        const bool opened = OpenPort();
        const bool first = FirstAttempt;
        FirstAttempt = false;
        if (opened) break;
        if (first) {
            Port = 1;
        } else {
            if (Port >= LastPort) return false;
            ++Port;
        }
    }
    Retries = SearchRetries;
    SendPacket();
    return true;
}

void TctSearchQX::SendPacket() { SendRequest(QXWire::Request::ModelVersion, nullptr, 0); }

void TctSearchQX::HandleReply() {
    if (ReplyFnc() == QXWire::Reply::ModelVersion && ReplyLength() >= sizeof RunModel->Text) return;
    SetError(ceNoReply);
    // The port's first time-out names the port on a line of its own, so the
    // time-outs and tries after it tell which port was asked.
    if (Retries == SearchRetries) Log(ComPortDisplayName("COM" + Dec(Port)));
    LogMessage(Msg::LogServiceTimeout);
}

void TctSearchQX::Continue() {
    if (Context->ErrorCode != 0) {
        ClearError();
        if (Retries > 0) {
            --Retries;
            LogMessage(Msg::LogTriesRemaining, Dec(Retries));
            return SendPacket();
        }
        if (!OpenNextAndSend()) {
            SetError(ceUnitNotFound);
            Finish();
        }
        return;
    }
    *CallerPort = Port;
    LogMessage(Msg::QXFound);
    std::memcpy(RunModel->Text, ReplyData(), sizeof RunModel->Text);
    const int expected = ParseModelVersion(Expected.GetText());
    if (expected != -1 && ParseModelVersion(RunModel->GetText()) != expected) SetError(ceModelDiffers);
    ProgressToMax();
    Finish();
}
