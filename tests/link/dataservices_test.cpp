// Reading and writing unit memory by address and reading the memory
// configuration, against the simulated unit.
#include "CommFixture.h"

#include <numeric>

namespace {

Bytes Pattern(size_t n, uint8_t seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

}  // namespace

TEST_F(CommRun, ReadDataGoesIn70BytePacketsFromTheAddress) {
    const Bytes memory = Pattern(150, 3);
    unit.SetMemory(0x1000, memory);
    Bytes buffer(150, 0);
    _CommCmd* c = Add(csReadData, "Read");
    c->Data = buffer.data();
    c->Param = 0x1000;
    c->Length = 150;

    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_FALSE(out.Ignored);
    EXPECT_EQ(buffer, memory);
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 3u);
    const Bytes expected[] = {{0x00, 0x10, 0x00, 0x46}, {0x46, 0x10, 0x00, 0x46}, {0x8C, 0x10, 0x00, 0x0A}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(sent[i].Fnc, 0xB2);
        EXPECT_EQ(sent[i].Data, expected[i]) << i;
    }
    EXPECT_TRUE(Has(out.Log, "Read data service started."));
    EXPECT_TRUE(Has(out.Log, "Uploaded: 70 bytes, (1 packets)."));
    EXPECT_TRUE(Has(out.Log, "Uploaded: 150 bytes, (3 packets)."));
    EXPECT_TRUE(Has(out.Log, "Upload complete."));
    // The search is inserted in front of the caller's command.
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Get(0)->Service, csSearchQX);
    EXPECT_EQ(list.Get(0)->Caption, "Searching QX...");
}

TEST_F(CommRun, WriteDataSendsAddressAndBytesAndLogsTheStartAddressFirst) {
    const Bytes source = Pattern(100, 9);
    _CommCmd* c = Add(csWriteData, "Write");
    c->Data = const_cast<uint8_t*>(source.data());
    c->Param = 0x2000;
    c->Length = 100;

    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_EQ(unit.GetMemory(0x2000, 100), source);
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].Fnc, 0x32);
    EXPECT_EQ(sent[0].Data, Cat({{0x00, 0x20, 0x00}, Bytes(source.begin(), source.begin() + 70)}));
    EXPECT_EQ(sent[1].Data, Cat({{0x46, 0x20, 0x00}, Bytes(source.begin() + 70, source.end())}));
    const std::string expectedLog =
        "Start address: 002000h.\r\nWrite data service started.\r\nAddress: 002000h.\r\n"
        "Downloaded: 70 bytes, (1 packets).\r\nAddress: 002046h.\r\nDownloaded: 100 bytes, (2 packets).\r\n"
        "Download complete.\r\n";
    EXPECT_NE(out.Log.find(expectedLog), std::string::npos) << out.Log;
}

TEST_F(CommRun, EmptyTransfersSucceedWithoutARequest) {
    Bytes buffer(4, 0);
    Add(csReadData)->Data = buffer.data();
    Add(csWriteData)->Data = buffer.data();
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(Has(out.Log, "Upload complete."));
    EXPECT_TRUE(Has(out.Log, "Download complete."));
}

TEST_F(CommRun, WriteRefusalEndsTheCommandAtOnceWithTheReason) {
    unit.Refuse(0x32, 5);
    Bytes source(10, 1);
    _CommCmd* c = Add(csWriteData, "Write config");
    c->Data = source.data();
    c->Length = 10;
    driver.Answers = {caAbort};
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 5, 133));
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_TRUE(Has(out.Log, "Write error. NAK packet received. (Data[0]: 05h)."));
    const auto q = driver.Questions();
    ASSERT_EQ(q.size(), 1u);
    EXPECT_TRUE(q[0].FromScheduler);
    EXPECT_EQ(q[0].Asked.Buttons, cbAbortRetryIgnore);
    EXPECT_EQ(q[0].Asked.Title, "Communication Error");
    EXPECT_EQ(q[0].Asked.Text, "Write config\r\nCannot write data.\r\nWrong data.");
    EXPECT_EQ(q[0].Asked.Details.substr(0, 28), "Search QX service started.\r\n");
}

TEST_F(CommRun, ReadRefusalsLostAndShortRepliesAreRetried) {
    // One read meets a refusal, a lost request and a reply too short for its
    // packet; each costs one retry and the data still arrive whole.
    const Bytes memory = Pattern(70, 1);
    unit.SetMemory(0x300, memory);
    unit.Refuse(0xB2, 1);
    unit.Drop(0xB2);
    unit.ShortReplies(0x32, 1, 5);
    Bytes buffer(70, 0);
    _CommCmd* c = Add(csReadData);
    c->Data = buffer.data();
    c->Param = 0x300;
    c->Length = 70;
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_EQ(buffer, memory);
    EXPECT_EQ(Sent().size(), 4u);
    EXPECT_TRUE(Has(out.Log, "Write error. NAK packet received. (Data[0]: 01h)."));
    EXPECT_TRUE(Has(out.Log, "Service timeout."));
    EXPECT_TRUE(Has(out.Log, "Service error. (Function: 32h Data[0]: 00h)."));
    EXPECT_TRUE(Has(out.Log, "Tries remaining: 7."));
    EXPECT_TRUE(Has(out.Log, "Tries remaining: 5."));
}

TEST_F(CommRun, ReadThatKeepsGettingAnotherAddressFailsInsteadOfLeavingAHole) {
    unit.WrongReadAddress(9);
    Bytes buffer(10, 0xEE);
    _CommCmd* c = Add(csReadData);
    c->Data = buffer.data();
    c->Length = 10;
    driver.Answers = {caAbort};
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 5));
    EXPECT_EQ(Sent().size(), 9u);
    EXPECT_EQ(buffer, Bytes(10, 0xEE));
    EXPECT_TRUE(Has(out.Log, "Received address is not equal with requested address."));
}

TEST_F(CommRun, SilentUnitGivesTimeoutAfterNineRequests) {
    unit.Drop(0x32, 100);
    Bytes source(3, 0);
    _CommCmd* c = Add(csWriteData, "Write");
    c->Data = source.data();
    c->Length = 3;
    driver.Answers = {caAbort};
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 6));
    EXPECT_EQ(Sent().size(), 9u);
    EXPECT_TRUE(Has(out.Log, "Tries remaining: 0."));
    // Every resend logs its address again.
    size_t addresses = 0;
    for (size_t at = 0; (at = out.Log.find("Address: 000000h.", at)) != std::string::npos; ++at) ++addresses;
    EXPECT_EQ(addresses, 9u);
    ASSERT_EQ(driver.Questions().size(), 1u);
    EXPECT_EQ(driver.Questions()[0].Asked.Text, "Write\r\nCommunication timeout.\r\n");
}

TEST_F(CommRun, MemoryConfigurationComesFromReplyBytesOneTo24) {
    unit.Refuse(0xC4, 3);  // no refusal case here: an unexpected reply, retried
    Bytes config(24, 0);
    Add(csReadMemConfig)->Data = config.data();
    const auto out = Go();
    EXPECT_EQ(out.Result, Result(2, 0, 0));
    EXPECT_EQ(config, unit.MemConfigBytes());
    const auto sent = Sent();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].Fnc, 0xC4);
    EXPECT_EQ(sent[1].Data, Bytes{2});
    EXPECT_TRUE(Has(out.Log, "Read QX memory configuration."));
    EXPECT_TRUE(Has(out.Log, "Service error. (Function: F0h Data[0]: 03h)."));
}

TEST_F(CommRun, MissingOrImpossibleInputEndsTheRunWithoutADialog) {
    const struct {
        int32_t service;
        int32_t param;
        int32_t length;
        bool buffer;
    } cases[] = {
        {csReadData, 0, 10, false},        {csWriteData, 0, 10, false},
        {csReadMemConfig, 0, 0, false},    {csReadData, 0, -1, true},
        {csWriteData, 0xFFFFF0, 0x20, true}, {csSRecStatus, 0, 0, false},
        {csReadBlock, 0, 0, false},        {csWriteBlock, 0, 0, false},
    };
    Bytes buffer(64, 0);
    for (const auto& k : cases) {
        SCOPED_TRACE(k.service);
        list.Clear();
        sim.ClearRecords();
        _CommCmd* c = Add(k.service);
        c->Data = k.buffer ? buffer.data() : nullptr;
        c->Param = k.param;
        c->Length = k.length;
        Add(csReadMemConfig)->Data = buffer.data();  // never reached
        CommDriver fresh;
        const auto out = fresh.Run(*link, list);
        EXPECT_EQ(out.Result, Result(2, 0, 130));
        EXPECT_TRUE(fresh.Questions().empty());
        EXPECT_TRUE(Sent().empty());
        EXPECT_TRUE(Has(out.Log, "Error accessing memory."));
    }
}

TEST_F(CommRun, EveryServiceSendsALostRequestAgain) {
    // One lost request per service: it is sent once more, the log counts
    // the try, and the command still succeeds.
    Bytes stream{3, 0, 46, 0, 0, 0};
    stream.resize(46, 0x61);
    Bytes buffer(64, 0);
    TQXBlockMem block;
    const struct {
        const char* what;
        uint8_t fnc;
        std::function<void(_CommCmd&)> fill;
    } cases[] = {
        {"memory configuration", 0xC4, [&](_CommCmd& c) { c.Service = csReadMemConfig; c.Data = buffer.data(); }},
        {"program status", 0xDA, [&](_CommCmd& c) { c.Service = csSRecStatus; c.Data = buffer.data(); }},
        {"clear program",
         0x11,
         [&](_CommCmd& c) {
             unit.PutProgram(1, "P", Bytes(3, 0));
             c.Service = csClearSRec;
             c.Param = 1;
             c.Name = "P";
         }},
        {"block descriptor",
         0xC4,
         [&](_CommCmd& c) {
             unit.PutBlock(0, 7, stream);
             block = TQXBlockMem();
             block.Index = 7;
             c.Service = csReadBlockDescr;
             c.Data = &block;
         }},
        {"read block", 0x94, [&](_CommCmd& c) { c.Service = csReadBlock; c.Data = &block; }},
        {"delete block",
         0x02,
         [&](_CommCmd& c) {
             block.MakeHeadCopy();  // a block read whole carries no name copy of its own
             c.Service = csDeleteBlock;
             c.Data = &block;
         }},
        {"delete type",
         0x02,
         [&](_CommCmd& c) {
             Bytes named = stream;
             std::fill_n(named.begin() + 6, 34, 0);
             std::copy_n("PUMP", 4, named.begin() + 6);
             unit.PutBlock(1, 1, named);
             c.Service = csDeleteType;
             c.Name = "PUMP";
         }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.what);
        list.Clear();
        sim.ClearRecords();
        k.fill(*list.Add());
        unit.Drop(k.fnc);
        CommDriver d;
        const auto out = d.Run(*link, list);
        EXPECT_EQ(out.Result, Result(2, 0, 0));
        const auto sent = Sent();
        ASSERT_GE(sent.size(), 2u);
        EXPECT_EQ(sent[0].Frame, sent[1].Frame);
        EXPECT_TRUE(Has(out.Log, "Service timeout."));
        EXPECT_TRUE(Has(out.Log, "Tries remaining: 7."));
    }
    EXPECT_EQ(unit.BlockCount(), 0u);
    EXPECT_FALSE(unit.GetProgram(1));
}
