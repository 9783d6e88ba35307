// One application object for every test of the folder, made before the first and destroyed
// after the last.

#include <QApplication>

#include <gtest/gtest.h>

#include <memory>

namespace {

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        static int argc = 1;
        static char name[] = "elsetry_gui_tests";
        static char* argv[] = {name, nullptr};
        App = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { App.reset(); }

private:
    std::unique_ptr<QApplication> App;
};

[[maybe_unused]] const auto* const Environment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace
