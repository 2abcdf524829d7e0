#include "desktop/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The options a command line gives, and the problem parseGameOptions returned ("" for none).
struct Parsed : GameOptions {
    std::string error;
};

Parsed parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "flipper");
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    const Result<GameOptions> result = parseGameOptions(int(argv.size()), argv.data());
    Parsed parsed;
    if (result.ok()) static_cast<GameOptions&>(parsed) = result.value();
    parsed.error = result.problem().line();
    return parsed;
}

}  // namespace

TEST(OptionsTest, EachOptionInBothSpellings) {
    const Parsed none = parse({});
    EXPECT_EQ(none.error, "");
    EXPECT_EQ(none.tickRate, 0.0);
    EXPECT_EQ(none.model, "sphere.iv");
    EXPECT_EQ(none.record + none.replay + none.frames, "");

    const Parsed spaced = parse({"--tick-rate", "62.5", "--model", "big.iv", "--record", "game.replay"});
    EXPECT_EQ(spaced.error, "");
    EXPECT_EQ(spaced.tickRate, 62.5);
    EXPECT_EQ(spaced.model, "big.iv");
    EXPECT_EQ(spaced.record, "game.replay");

    const Parsed joined = parse({"--replay=a=b.replay", "--frames=film", "--model=x.iv"});
    EXPECT_EQ(joined.error, "");
    EXPECT_EQ(joined.replay, "a=b.replay");  // only the first '=' splits
    EXPECT_EQ(joined.frames, "film");
    EXPECT_EQ(joined.model, "x.iv");

    const Parsed sound = parse({"--mute", "--volume=0"});
    EXPECT_EQ(sound.error, "");
    EXPECT_TRUE(sound.mute);
    EXPECT_EQ(sound.volume, 0);
    EXPECT_FALSE(none.mute);
    EXPECT_EQ(none.volume, 100);
    EXPECT_EQ(parse({"--volume", "100"}).volume, 100);
    EXPECT_FALSE(parse({"--no-gamepad"}).gamepad);
    EXPECT_TRUE(none.gamepad);

    // A value may itself start with dashes: it is taken because the option needs one.
    EXPECT_EQ(parse({"--record", "--odd-name"}).record, "--odd-name");
}

TEST(OptionsTest, MistakesAreNamed) {
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"--model"}, "--model needs a model file"},
        {{"--record"}, "--record needs a file to record in"},
        {{"--replay"}, "--replay needs a replay file"},
        {{"--frames"}, "--frames needs a folder"},
        {{"--model", ""}, "empty model file name"},
        {{"--record="}, "empty replay file name"},
        {{"--tick-rate", "0"}, "bad tick rate '0': it must be a number from 1 to 1000000"},
        {{"--freeze-at", "2147483648"}, "bad tick '2147483648' for --freeze-at: it must be a whole number from 0 to 2147483647"},
        {{"--replays", "x"}, "unknown option '--replays'"},
        {{"--volume", "101"}, "bad volume '101': it must be a whole number from 0 to 100"},
        {{"--volume", "-1"}, "bad volume '-1': it must be a whole number from 0 to 100"},
        {{"--volume=5x"}, "bad volume '5x': it must be a whole number from 0 to 100"},
        {{"--mute=1"}, "--mute takes no value"},
        {{"--record", "a", "--replay", "b"}, "--record and --replay do not go together"},
        {{"--frames", "film"}, "--frames films a replay: it needs --replay FILE"},
        {{"--replay", "a", "--frames", "film", "--tick-rate", "900"},
         "--frames films as fast as it goes: --tick-rate does not go with it"},
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.arguments).error, c.error);
}

TEST(OptionsTest, WhichArgumentsTakeTheNextOne) {
    for (const GameOptionEntry& entry : gameOptionEntries()) {
        if (entry.valueName == nullptr) {
            EXPECT_FALSE(takesNextArgument(entry.name)) << entry.name;
            continue;
        }
        EXPECT_TRUE(takesNextArgument(entry.name)) << entry.name;
        EXPECT_FALSE(takesNextArgument((std::string(entry.name) + "=1").c_str())) << entry.name;
        EXPECT_NE(gameOptionsUsage().find(std::string("  ") + entry.name + " " + entry.valueName), std::string::npos);
    }
    EXPECT_FALSE(takesNextArgument("--help"));
    EXPECT_FALSE(takesNextArgument("-geometry"));
}
