// Test fixture for the client stand-in: registers it per machine, gives each
// test its own state folder (control file, journal, client log) and reads
// back what the stand-in saw.
#pragma once

#include "Testkit.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace standin {

inline std::string DllPath() { return testkit::BinPath("clientstandin.dll"); }

// regsvr32 /s, as an installer would; the exit code (0 on success).
inline DWORD Register(bool unregister = false) {
    return testkit::RunAndWait(std::string("regsvr32 /s ") + (unregister ? "/u " : "") + "\"" +
                               DllPath() + "\"");
}

class Fixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(0u, Register()) << "regsvr32 of the client stand-in failed";
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::string(temp) + "client-stand-in-" + info->test_suite_name() + "-" + info->name();
        testkit::RemoveTree(dir_);
        ASSERT_TRUE(testkit::MakeFolders(dir_));
        ::SetEnvironmentVariableA("CLIENT_STANDIN_DIR", dir_.c_str());
    }

    const std::string& Dir() const { return dir_; }

    // Writes one control value (section, key, value) into control.ini.
    void Control(const char* section, const std::string& key, const std::string& value) {
        ::WritePrivateProfileStringA(section, key.c_str(), value.c_str(), (dir_ + "\\control.ini").c_str());
    }

    static std::vector<std::string> Lines(const std::string& path) {
        std::vector<std::string> lines;
        std::istringstream in(testkit::ReadTextFile(path));
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
        return lines;
    }
    std::vector<std::string> Journal() const { return Lines(dir_ + "\\journal.txt"); }
    std::vector<std::string> ClientLog() const { return Lines(dir_ + "\\client.log"); }

    // The journal without the "#n" object numbers and without the
    // QueryInterface and destruction lines: the calls in their order.
    std::vector<std::string> Calls() const {
        std::vector<std::string> calls;
        static const std::regex number("#[0-9]+");
        for (const std::string& line : Journal()) {
            if (line.find(" QueryInterface(") != std::string::npos) continue;
            if (line.size() > 10 && line.compare(line.size() - 10, 10, " destroyed") == 0) continue;
            calls.push_back(std::regex_replace(line, number, ""));
        }
        return calls;
    }

    // Journal lines that contain text.
    size_t Count(const std::string& text) const {
        size_t n = 0;
        for (const std::string& line : Journal())
            if (line.find(text) != std::string::npos) ++n;
        return n;
    }

    // Every object that appears in the journal was finally released.
    void ExpectAllReleased() const {
        static const std::regex object("([A-Za-z]+#[0-9]+)");
        std::set<std::string> seen, destroyed;
        for (const std::string& line : Journal()) {
            for (std::sregex_iterator it(line.begin(), line.end(), object), end; it != end; ++it)
                seen.insert((*it)[1]);
            const size_t at = line.find(" destroyed");
            if (at != std::string::npos && at + 10 == line.size()) {
                EXPECT_EQ(0u, destroyed.count(line.substr(0, at))) << "destroyed twice: " << line;
                destroyed.insert(line.substr(0, at));
            }
        }
        for (const std::string& o : seen) EXPECT_EQ(1u, destroyed.count(o)) << o << " never released";
    }

private:
    std::string dir_;
};

}  // namespace standin
