// The command-line companion's contract: output lines and exit codes.
#include "child_process.h"
#include "pty/cli_run.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using kelvo::pty_test::ChildProcess;
using kelvo::pty_test::cli;
using kelvo::pty_test::CliRun;
using kelvo::test::TempDir;
using kelvo::test::write_file;

namespace {

const std::string demo_folder = std::string(KELVO_SOURCE_DIR) + "/examples/methods";
const std::string demo_config = demo_folder + "/latest_kelvo.kol";

}  // namespace

TEST(CliCommands, CheckConfigPrintsTheCountsOrTheMessages)
{
    TempDir dir;
    const std::string minimal = dir.file("minimal.kol");
    write_file(minimal, "[lists]\r\n[classes]\r\n!SYRINGE\r\n[objects]\r\n[atoms]\r\n");
    CliRun r = cli({"check-config", minimal});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "lists 0\nclasses 1\nobjects 0\natoms 4\n");

    const std::string bad = dir.file("bad.kol");
    write_file(bad, "[lists]\r\n120;3;A\r\n[classes]\r\n!SYRINGE\r\n[objects]\r\n[atoms]\r\n");
    r = cli({"check-config", bad});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "error: bad list id 120\n");

    r = cli({"check-config", dir.file("missing.kol")});
    EXPECT_EQ(r.code, 2);

    r = cli({"check-config", demo_config});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.err, "");
}

TEST(CliCommands, ExprFollowsTheSplitScanAndItsExitCodes)
{
    CliRun r = cli({"expr", "--config", demo_config, "10-2-3"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "valid\nvalue 11\n");

    r = cli({"expr", "--config", demo_config, "--unit", "\xC2\xB5l", "--set", "SL.volume=2.5", "2*SL.volume"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "valid\nvalue 5\n");
    EXPECT_EQ(r.err, "");  // no stray unit message from the split scan

    r = cli({"expr", "--config", demo_config, "SL.volume"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "invalid\n");

    r = cli({"expr", "--config", demo_config});
    EXPECT_EQ(r.code, 2);
}

TEST(CliCommands, ExprTakesAnAtomLineParametersRunValuesAndTheSyringe)
{
    const std::string micro = "\xC2\xB5l";
    CliRun r = cli({"expr", "--config", demo_config, "--line", "GET_SAMPLE(Tray1,3,2,0.5,2,20,1,)", "--unit", "mm",
                    "Tray.Vial Depth-2"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "valid\nvalue 30\n");

    r = cli({"expr", "--config", demo_config, "--param", "Volume (" + micro + ");SL.volume;0;SYR.Max Volume=2.5",
             "--unit", micro, "Volume*2"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "valid\nvalue 5\n");

    r = cli({"expr", "--config", demo_config, "--set", "Repeat Count=3", "Repeat Count"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "valid\nvalue 3\n");

    // SYR only with --syr; an empty text only with --empty-ok, and it has no value.
    r = cli({"expr", "--config", demo_config, "--syringe", "Syr10ul", "--unit", micro, "SYR.Max Volume"});
    EXPECT_EQ(r.code, 1);
    r = cli({"expr", "--config", demo_config, "--syringe", "Syr10ul", "--unit", micro, "--syr", "SYR.Max Volume/2"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "valid\nvalue 5\n");
    r = cli({"expr", "--config", demo_config, "--empty-ok", ""});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "valid\nfails\n");
}

TEST(CliCommands, ExprNamesWhatItRefuses)
{
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--line", "bad", "1"}, "--line must have the form ATOM(v1,v2,)"},
        {{"--line", "NOPE(1,)", "1"}, "unknown atom NOPE"},
        {{"--param", "x=1", "1"}, "--param must be a parameter line, '=' and the value: x=1"},
        {{"--set", "nothing", "1"},
         "--set needs SL.volume, SL.volume2, SL.index, SL.injpervial, SL.tray, SL.tray2, SL.injector, SL.injector2 "
         "or Repeat Count, '=' and a fitting value: nothing"},
        {{"--unit", "\xE4\xB8\x80", "1"}, "a text has a character that Windows-1252 cannot hold"},
        {{"--set", "\xE4\xB8\x80=1", "1"}, "a text has a character that Windows-1252 cannot hold"},
        {{"--bogus", "1"}, "unknown option --bogus"},
        {{"1", "2"}, "more than one TEXT"},
    };
    for (const auto& [extra, message] : cases) {
        std::vector<std::string> args = {"expr", "--config", demo_config};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliRun r = cli(args);
        EXPECT_EQ(r.code, 2) << message;
        EXPECT_EQ(r.out, "") << message;
        EXPECT_EQ(r.err.rfind("cadenzor-cli expr: " + message + "\nusage: cadenzor-cli expr ", 0), 0u) << r.err;
    }
}

TEST(CliCommands, DemoFolderChecksAndExpands)
{
    CliRun r = cli({"check", demo_folder});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("macro Fill Syringe: ok\n"), std::string::npos);
    EXPECT_NE(r.out.find("method Standard Injection: ok\n"), std::string::npos);

    r = cli({"expand", demo_folder, "Standard Injection"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.rfind("body start ", 0), 0u);
    EXPECT_NE(r.out.find("\nCHECK SL ENTRY()\n"), std::string::npos);
}

TEST(CliCommands, ExpandNamesTheMethodItRefuses)
{
    for (const std::string name : {"../outside", "sub/Standard Injection", ".KME", "Missing"}) {
        const CliRun r = cli({"expand", demo_folder, name});
        EXPECT_EQ(r.code, 2) << name;
        EXPECT_EQ(r.out, "") << name;
        EXPECT_EQ(r.err, "cadenzor-cli expand: no method " + name + " in " + demo_folder + "\n") << name;
    }
}

TEST(CliCommands, CheckConfigRefusesWhatIsNoRegularFile)
{
    for (const std::string& path : {std::string("/dev/zero"), std::string(KELVO_SOURCE_DIR) + "/examples"}) {
        const CliRun r = cli({"check-config", path});
        EXPECT_EQ(r.code, 2) << path;
        EXPECT_EQ(r.out, "") << path;
    }
}

TEST(CliCommands, EveryProgramAnswersVersion)
{
    const CliRun r = cli({"--version"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("cadenzor-cli ", 0), 0u) << r.out;
    EXPECT_EQ(r.out.back(), '\n');
}

TEST(CliCommands, SampleListsAreCheckedAndExported)
{
    CliRun r = cli({"check", demo_folder});
    EXPECT_NE(r.out.find("list Demo Batch: ok\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("list Cooled Samples: ok\n"), std::string::npos) << r.out;

    TempDir dir;
    write_file(dir.file("latest_kelvo.kol"), kelvo::test::read_file(demo_config));
    write_file(dir.file("Inject.KME"), "syringe:Syr10ul\r\nWash Syringe()\r\n");
    const std::string header = "Method;Volume;Tray;Injector;Volume 2;Tray 2;Injector 2;Vial;Inj/Vial;\r\n";
    write_file(dir.file("Good.ksl"), header + "Inject;2;Tray1;LCVlv1;1;;;3;2;\r\n");
    write_file(dir.file("Bad.ksl"), header + "Inject;2;Tray9;LCVlv1;1;;;3;2;\r\n");
    write_file(dir.file("Wide.ksl"), "Method;Volume;\r\nInject;2;\r\n");
    r = cli({"check", dir.path().string()});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.out.find("list Bad: refused\nerror: In row 1,Tray9is not a tray\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("list Good: ok\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("list Wide: refused\nerror: Sample list \"Wide\" has the wrong columns\n"), std::string::npos) << r.out;

    r = cli({"export", dir.path().string(), "Good", "Out.csv"});
    EXPECT_EQ(r.code, 0) << r.out;
    EXPECT_EQ(kelvo::test::read_file(dir.file("Out.txt")),
              "Method\tVolume\tTray\tInjector\tVolume 2\tTray 2\tInjector 2\tVial\tInj/Vial\t\r\n"
              "Inject\t2\tTray1\tLCVlv1\t1\t\t\t3\t2\t\r\n");
    r = cli({"export", dir.path().string(), "Good", "Out"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out.rfind("error: The export file ", 0), 0u) << r.out;
    r = cli({"export", dir.path().string(), "Good", "Out", "--overwrite"});
    EXPECT_EQ(r.code, 0);
    r = cli({"export", dir.path().string(), "Bad"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, "error: In row 1,Tray9is not a tray\n");
    r = cli({"export", dir.path().string()});
    EXPECT_EQ(r.code, 2);
}
