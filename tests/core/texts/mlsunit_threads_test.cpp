// GetText from the GUI thread and the scheduler thread at the same time: each
// call keeps its texts to itself, so both always see whole, correct texts.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "Mlsunit.h"

TEST(TextLayerThreads, TwoThreadsFetchTextsAtOnce) {
    const std::string path = testing::TempDir() + "mlsunit_threads_test.mls";
    {
        std::ofstream out(path, std::ios::binary);
        out << "[MLS-INTERFACE]\r\nProgram=x\r\n[GENERAL]\r\nLanguages=1\r\n[LANGUAGES]\r\n1=L\r\n"
               "[L]\r\nconst::9007=Gelesen: %s Bytes\\r\\n(%s Pakete)\r\n";
    }
    TMLSUnit mls(BuiltInMessages, path);
    mls.SetLanguage(0);
    std::remove(path.c_str());

    std::atomic<int> wrong{0};
    auto run = [&](int seed) {
        for (int i = 0; i < 2000; ++i) {
            const std::string a = std::to_string(seed * 100000 + i);
            const std::string b = std::to_string(i % 7);
            if (mls.GetText(9007, a, b) != "Gelesen: " + a + " Bytes\r\n(" + b + " Pakete)") ++wrong;
            if (mls.GetText(9016, b) != "[3] CRC packet sent: " + b + "h.") ++wrong;
        }
    };
    std::thread gui(run, 1);
    std::thread scheduler(run, 2);
    gui.join();
    scheduler.join();
    EXPECT_EQ(wrong.load(), 0);
}
