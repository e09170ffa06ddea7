// "/service install", "uninstall" and "list" against a service manager of
// the test's own: the rules for a name, the command line a service is stored
// with, what is refused before anything is registered, and the list.
#include "install/service_setup.h"

#include "tests/app/app_test_support.h"
#include "tests/doubles/service_manager_recorder.h"
#include "common/file_system.h"
#include "common/messages.h"
#include "jobs/arguments.h"

#include <cerrno>
#include <cstring>

namespace {

TEST(ServiceName, LettersDigitsDashAndUnderscoreOnly) {
    for (const std::string& name :
         Strings{"Office", "a", "Floor-2_east", "0", "-", std::string(64, 'x')})
        EXPECT_TRUE(ValidServiceName(name)) << name;
    for (const std::string& name : Strings{"", "two words", "a.b", "a/b", "a\\b", "caf\xC3\xA9",
                                           "a\"b", "Office\t", std::string(65, 'x')})
        EXPECT_FALSE(ValidServiceName(name)) << name;
    EXPECT_EQ(ServiceNameOf("Office"), "Ravlen-Office");
}

// Whatever the argument holds, the runtime's splitting gives it back whole.
TEST(ServiceCommandLine, EachArgumentSurvivesTheRuntimesSplitting) {
    for (const std::string& text :
         Strings{"/s:C:\\spool\\*.prn", "/b:C:\\saved\\", "/b:\\\\server\\share\\",
                 "/n:a \"quoted\" set", "/n:ends with a backslash and quote\\\"",
                 "/l:+C:\\Program Files\\x.log", "/e", ""}) {
        std::string line = "\"C:\\Program Files\\Ravlen\\ravlensvc.exe\" " + QuoteArgument(text);
        std::vector<Argument> split = SplitCommandLine(line.c_str());
        ASSERT_EQ(split.size(), 2u) << text;
        EXPECT_EQ(split[0].text, "C:\\Program Files\\Ravlen\\ravlensvc.exe");
        EXPECT_EQ(split[1].text, text) << line;
        EXPECT_TRUE(split[1].quoted) << text; // so never taken for a wildcard to expand
        if (text.compare(0, 3, "/s:") == 0) {
            EXPECT_EQ(PatternOfCommandLine(line), text.substr(3));
        }
    }
    EXPECT_EQ(PatternOfCommandLine("\"C:\\r\\ravlensvc.exe\" \"/i:C:\\r.ini\""), "");
}

class ServiceSetupTest : public ShellTest {
  protected:
    void SetUp() override {
        ShellTest::SetUp();
        FakeServices = FakeServiceManager();
        program = Write("ravlensvc.exe", "MZ");
        ASSERT_TRUE(ChangeDirectory(dir));
    }
    int Run(const Strings& arguments) {
        listing = "?";
        return RunServiceCommandFor(program, arguments, &listing);
    }
    std::string program, listing;
};

// Every path the service is given is absolute: it starts in another
// directory, as another user. The order is the one the qualifiers act in.
TEST_F(ServiceSetupTest, TheStoredCommandLineHoldsAbsolutePathsOnly) {
    char windows[kPathSize];
    ASSERT_TRUE(WindowsDirectory(windows, sizeof windows));
    struct Case {
        Strings qualifiers;
        Strings stored; // after the program
    } cases[] = {
        {{"/s:spool\\*.prn"},
         {"/i:" + Full(std::string(windows) + "\\ravlen.ini"), "/s:" + Full("spool\\*.prn")}},
        {{"/e", "/S:*.ps", "/N:Letters", "/i:my.ini", "/account:localsystem"},
         {"/i:" + Full(std::string(windows) + "\\my.ini"), "/n:Letters", "/s:" + Full("*.ps"),
          "/e"}},
        {{"/i:conf\\my.ini", "/b:saved\\", "/l:+logs\\svc.log", "/s:in\\*.*"},
         {"/l:+" + Full("logs\\svc.log"), "/i:" + Full("conf\\my.ini"), "/s:" + Full("in\\*.*"),
          "/b:" + Full("saved\\")}},
        {{"/l:svc.log", "/s:a"},
         {"/l:" + Full("svc.log"), "/i:" + Full(std::string(windows) + "\\ravlen.ini"),
          "/s:" + Full("a")}},
    };
    for (const Case& c : cases) {
        FakeServices = FakeServiceManager();
        Strings arguments = {"install", "Office"};
        arguments.insert(arguments.end(), c.qualifiers.begin(), c.qualifiers.end());
        EXPECT_EQ(Run(arguments), 0) << c.qualifiers[0];
        ASSERT_EQ(FakeServices.services.count("Ravlen-Office"), 1u);
        const ServiceDefinition& made = FakeServices.services["Ravlen-Office"];
        std::vector<Argument> split = SplitCommandLine(made.commandLine.c_str());
        Strings stored;
        for (size_t i = 1; i < split.size(); ++i)
            stored.push_back(split[i].text);
        EXPECT_EQ(split[0].text, program);
        EXPECT_EQ(stored, c.stored) << made.commandLine;
    }
    EXPECT_EQ(FakeServices.services["Ravlen-Office"].account, kAccountLocalService);
}

TEST_F(ServiceSetupTest, InstallRegistersTheServiceAsItIsToBeShown) {
    EXPECT_EQ(Run({"INSTALL", "Office", "/s:C:\\spool\\*.prn", "/account:NetworkService"}), 0);
    const ServiceDefinition& made = FakeServices.services["Ravlen-Office"];
    EXPECT_EQ(made.displayName, "Ravlen spooler Office");
    EXPECT_EQ(made.description, "Prints the files matching " + Full("C:\\spool\\*.prn"));
    EXPECT_EQ(made.account, kAccountNetworkService);
    EXPECT_EQ(made.eventMessageFile, program);
    EXPECT_EQ(listing, "The service Ravlen-Office has been installed; it starts with Windows, or "
                       "when it is started by hand");
    EXPECT_TRUE(ShownBoxes.empty());
}

// A refusal says why and leaves nothing registered.
TEST_F(ServiceSetupTest, WhatIsRefusedRegistersNothing) {
    struct Case {
        const char* name;
        Strings arguments;
        std::function<void()> before;
        std::string message;
    } cases[] = {
        {"no administrator rights",
         {"install", "Office", "/s:*.prn"},
         [] { FakeServices.denied = true; },
         "Installing or removing a service needs administrator rights: Ravlen-Office"},
        {"a NAME of other characters",
         {"install", "Front office", "/s:*.prn"},
         [] {},
         "A service name has 1 to 64 letters, digits, - and _ and nothing else: \"Front office\""},
        {"no pattern",
         {"install", "Office", "/e"},
         [] {},
         "A service needs the pattern of the files it prints (/s:pattern): Ravlen-Office"},
        {"a pattern qualifier without its value",
         {"install", "Office", "/s:"},
         [] {},
         "Qualifier /s: must have a value, therfore ignored"},
        {"a qualifier the service does not take",
         {"install", "Office", "/s:*.prn", "/q"},
         [] {},
         "Invalid qualifier \"/q\""},
        {"a file argument",
         {"install", "Office", "/s:*.prn", "a.txt"},
         [] {},
         "Use /service install NAME /s:pattern [/i:file /n:set /b:dir /l:file /e "
         "/account:NetworkService or LocalSystem], /service uninstall NAME or /service list, "
         "not: a.txt"},
        {"an account of its own",
         {"install", "Office", "/s:*.prn", "/account:Guest"},
         [] {},
         "The account of a service is LocalService, NetworkService or LocalSystem: \"Guest\""},
        {"no service program",
         {"install", "Office", "/s:*.prn"},
         [this] { RemoveFile(program.c_str()); },
         "Could not open " + program + " \n" + std::strerror(ENOENT)},
        {"the system refuses",
         {"install", "Office", "/s:*.prn"},
         [] { FakeServices.failure = "The account name is invalid"; },
         "Failed to set up the service Ravlen-Office\nThe account name is invalid"},
    };
    for (const Case& c : cases) {
        FakeServices = FakeServiceManager();
        ResetDoubles();
        WriteTestFile(program, "MZ");
        c.before();
        EXPECT_EQ(Run(c.arguments), 1) << c.name;
        EXPECT_EQ(ShownTexts(), Strings{c.message}) << c.name;
        EXPECT_EQ(ShownBoxes.empty() ? -1 : ShownBoxes[0].kind, kMessageError) << c.name;
        EXPECT_TRUE(FakeServices.services.empty()) << c.name;
        EXPECT_FALSE(FakeServices.eventSource) << c.name;
        EXPECT_EQ(listing, "") << c.name;
    }
}

TEST_F(ServiceSetupTest, ListShowsEachServiceWithItsStateAndPatternAndUninstallRemovesIt) {
    EXPECT_EQ(Run({"list"}), 0);
    EXPECT_EQ(listing, "No Ravlen service is installed\n");
    ASSERT_EQ(Run({"install", "Office", "/s:C:\\office\\*.prn"}), 0);
    ASSERT_EQ(Run({"install", "Lab", "/s:C:\\lab dir\\*.*", "/b:C:\\saved"}), 0);
    FakeServices.states["Ravlen-Office"] = kServiceRunning;
    FakeServices.services["Other"].commandLine = "other.exe /s:C:\\not\\ours";
    EXPECT_EQ(Run({"install", "lab", "/s:C:\\x\\*.prn"}), 1);
    EXPECT_EQ(ShownTexts(), Strings{"The service Ravlen-lab exists already"});

    EXPECT_EQ(Run({"List"}), 0);
    EXPECT_EQ(listing, "Ravlen-Lab (stopped): " + Full("C:\\lab dir\\*.*") + "\n" +
                           "Ravlen-Office (running): " + Full("C:\\office\\*.prn") + "\n");

    // The event source goes with the last of the program's services.
    RecordedCalls.clear();
    EXPECT_EQ(Run({"uninstall", "Office"}), 0);
    EXPECT_EQ(listing, "The service Ravlen-Office has been removed");
    EXPECT_EQ(Run({"uninstall", "Lab"}), 0);
    EXPECT_EQ(CallsStartingWith("service remove"),
              (Strings{"service remove Ravlen-Office", "service remove Ravlen-Lab (last)"}));
    EXPECT_FALSE(FakeServices.eventSource);
    ShownBoxes.clear();
    EXPECT_EQ(Run({"uninstall", "Lab"}), 1);
    EXPECT_EQ(ShownTexts(), Strings{"There is no service Ravlen-Lab"});
    EXPECT_EQ(FakeServices.services.count("Other"), 1u);
}

// Uninstalling the program takes its services with it, and no other; one the
// system will not remove is reported, and the others still go.
TEST_F(ServiceSetupTest, TheProgramsServicesGoWithIt) {
    ASSERT_EQ(Run({"install", "Office", "/s:C:\\office\\*.prn"}), 0);
    ASSERT_EQ(Run({"install", "Lab", "/s:C:\\lab\\*.prn"}), 0);
    FakeServices.services["Other"].commandLine = "other.exe";
    RecordedCalls.clear();
    EXPECT_TRUE(RemoveProgramServices());
    EXPECT_EQ(CallsStartingWith("service remove"),
              (Strings{"service remove Ravlen-Lab", "service remove Ravlen-Office (last)"}));
    EXPECT_EQ(FakeServices.services.size(), 1u);
    EXPECT_FALSE(FakeServices.eventSource);
    EXPECT_TRUE(RemoveProgramServices()); // none left: nothing to do

    ASSERT_EQ(Run({"install", "Office", "/s:C:\\office\\*.prn"}), 0);
    FakeServices.denied = true;
    ShownBoxes.clear();
    EXPECT_FALSE(RemoveProgramServices());
    EXPECT_EQ(ShownTexts().size(), 1u);
    EXPECT_EQ(FakeServices.services.count("Ravlen-Office"), 1u);
}

TEST_F(ServiceSetupTest, AnythingElseAfterServiceIsShownHowItIsUsed) {
    for (const Strings& arguments :
         {Strings{}, Strings{"start", "Office"}, Strings{"list", "Office"}, Strings{"uninstall"},
          Strings{"install"}, Strings{"uninstall", "Office", "/s:*.prn"}}) {
        ResetDoubles();
        EXPECT_EQ(Run(arguments), 1);
        ASSERT_EQ(ShownBoxes.size(), 1u);
        EXPECT_EQ(ShownBoxes[0].text.rfind("Use /service install NAME /s:pattern", 0), 0u);
        EXPECT_TRUE(CallsStartingWith("service").empty());
    }
}

} // namespace
