// The simulator behaving like a small node, seen through the COM client: transmissions take
// their time one after the other, a slow host keeps IsTransmitting False for its lag.
#include <gtest/gtest.h>

#include <memory>

#include "NodeSimDriver.h"
#include "RecordingTarget.h"
#include "host/Host.h"
#include "win32/com/ComHost.h"

namespace e2e {
namespace {

class NodeSimBehaviour : public testing::Test {
protected:
    void SetUp() override {
        NodeSim::Must({"reset"});
        factory = hourmark::win32::MakeComHostFactory(target);
        app = factory->CreateMainObject();
    }

    // How long IsTransmitting stays True from now, asking every 50 ms.
    ULONGLONG TransmittingFor(DWORD limitMs) {
        const ULONGLONG start = GetTickCount64();
        while (app->IsTransmitting()) {
            if (GetTickCount64() - start > limitMs) {
                ADD_FAILURE() << "still transmitting after " << limitMs << " ms";
                break;
            }
            PumpFor(50);
        }
        return GetTickCount64() - start;
    }

    RecordingTarget target;
    std::unique_ptr<hourmark::HostFactory> factory;
    std::shared_ptr<hourmark::HostApp> app;
};

TEST_F(NodeSimBehaviour, TransmissionsGoOutOneAfterTheOther) {
    const std::string second = WriteWave("e2e-second.wav", 1000);
    app->SpeakPhrase(3);  // a phrase: 1.5 s
    app->PlayWaveFile(second, false);
    ASSERT_TRUE(app->IsTransmitting());
    // Longer than either alone: the file waited for the phrase.
    EXPECT_GE(TransmittingFor(8000), 2000u);
    EXPECT_NE(NodeSim::Must({"state"}).find("transmitting=False"), std::string::npos);
}

TEST_F(NodeSimBehaviour, ALaggingHostStartsLate) {
    NodeSim::Must({"lag", "700"});
    app->SpeakText("QX1AB");
    EXPECT_FALSE(app->IsTransmitting());
    EXPECT_TRUE(PumpUntil([&] { return app->IsTransmitting(); }, 3000));
    NodeSim::Must({"lag", "0"});
    EXPECT_LT(TransmittingFor(3000), 3000u);
}

TEST_F(NodeSimBehaviour, KeyingHoldsTheTransmitterUntilReleased) {
    app->SetTransmit(true);
    PumpFor(300);
    EXPECT_TRUE(app->IsTransmitting());
    app->SetTransmit(false);
    EXPECT_FALSE(app->IsTransmitting());
}

}  // namespace
}  // namespace e2e
