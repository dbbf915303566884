// Test fixture for the client stand-in: registers it per machine, gives each
// test its own state folder (control file, journal, client log) inside a COM
// apartment, reads back what the stand-in saw and the update history, and
// ends each test by checking that every object the journal names was released.
#pragma once

#include "Gui.h"
#include "Scoped.h"
#include "Testkit.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

namespace standin {

using Expected = std::vector<std::string>;

inline std::string DllPath() { return testkit::BinPath("clientstandin.dll"); }

// The update history as the machine keeps it: the profile values of a
// history file and the values under the history key ("<absent>" if none).
const char kHistoryKey[] = "SOFTWARE\\Brenvik\\Solvane\\Setup";
inline std::string Ini(const std::string& file, const char* section, const char* key) {
    char value[2048] = "";
    ::GetPrivateProfileStringA(section, key, "<absent>", value, sizeof(value), file.c_str());
    return value;
}
inline std::string HistoryValue(const std::string& name) {
    std::string value = "<absent>";
    testkit::ReadString(HKEY_LOCAL_MACHINE, kHistoryKey, name, &value);
    return value;
}

inline bool Destroyed(const std::string& line) {
    return line.size() > 10 && line.compare(line.size() - 10, 10, " destroyed") == 0;
}

class Fixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(apartment_.result()));
        // regsvr32 /s, as an installer would.
        ASSERT_EQ(0u, testkit::RunAndWait("regsvr32 /s \"" + DllPath() + "\""));
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::string(temp) + "client-stand-in-" + info->test_suite_name() + "-" + info->name();
        testkit::RemoveTree(dir_);
        ASSERT_TRUE(testkit::MakeFolders(dir_));
        ::SetEnvironmentVariableA("CLIENT_STANDIN_DIR", dir_.c_str());
        testkit::DeleteKeyTree(HKEY_LOCAL_MACHINE, kHistoryKey);
        Control("Relationships", "/com/solvanenetwork", "Solvane Network");  // the one known name
    }
    void TearDown() override {
        ExpectAllReleased();
        testkit::DeleteKeyTree(HKEY_LOCAL_MACHINE, kHistoryKey);
    }

    const std::string& Dir() const { return dir_; }
    // The history file in the folder the stand-in's path provider names.
    std::string HistoryFile() const { return dir_ + "\\History\\RerAZuva.dat"; }
    std::string History(const char* section, const char* key) const {
        return Ini(HistoryFile(), section, key);
    }

    // Writes one control value (section, key, value) into control.ini.
    void Control(const char* section, const std::string& key, const std::string& value) {
        ::WritePrivateProfileStringA(section, key.c_str(), value.c_str(), (dir_ + "\\control.ini").c_str());
    }

    std::vector<std::string> Journal() const { return testkit::ReadLines(dir_ + "\\journal.txt"); }
    std::vector<std::string> ClientLog() const { return testkit::ReadLines(dir_ + "\\client.log"); }

    // The journal without the "#n" object numbers and without the
    // QueryInterface and destruction lines: the calls (those that contain
    // `containing`) in their order.
    std::vector<std::string> Calls(const std::string& containing = "") const {
        std::vector<std::string> calls;
        static const std::regex number("#[0-9]+");
        for (const std::string& line : Journal())
            if (line.find(" QueryInterface(") == std::string::npos && !Destroyed(line) &&
                line.find(containing) != std::string::npos)
                calls.push_back(std::regex_replace(line, number, ""));
        return calls;
    }

    // Journal lines that contain text.
    size_t Count(const std::string& text) const {
        size_t n = 0;
        for (const std::string& line : Journal()) n += line.find(text) != std::string::npos;
        return n;
    }

    // Every object that appears in the journal was finally released.
    void ExpectAllReleased() const {
        static const std::regex object("([A-Za-z]+#[0-9]+)");
        std::set<std::string> seen, destroyed;
        for (const std::string& line : Journal()) {
            for (std::sregex_iterator it(line.begin(), line.end(), object), end; it != end; ++it)
                seen.insert((*it)[1]);
            if (Destroyed(line)) destroyed.insert(line.substr(0, line.size() - 10));
        }
        for (const std::string& o : seen) EXPECT_EQ(1u, destroyed.count(o)) << o << " never released";
    }

private:
    scoped::ComApartment apartment_;
    std::string dir_;
};

}  // namespace standin
