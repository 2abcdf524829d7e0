#include "sim/Options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The options a command line gives, and the problem parseSimOptions found ("" for none).
struct Parsed : SimOptions {
    std::string error;
};

Parsed parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "flipper-sim");
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    const Result<SimOptions> result = parseSimOptions(int(argv.size()), argv.data());
    Parsed parsed;
    if (result.ok()) static_cast<SimOptions&>(parsed) = result.value();
    parsed.error = result.problem().line();
    return parsed;
}

}  // namespace

TEST(SimOptionsTest, EachOptionInBothSpellings) {
    const Parsed none = parse({});
    EXPECT_EQ(none.error, "");
    EXPECT_EQ(none.model, "sphere.iv");
    EXPECT_FALSE(none.modelGiven);
    EXPECT_EQ(none.idles, 1000);
    EXPECT_EQ(none.every, 1);

    const Parsed all = parse({"--model", "b.iv", "--idles=50", "--key", "3:f", "--key=3:j", "--key", "0:n", "--trace",
                              "t.csv", "--every=5"});
    EXPECT_EQ(all.error, "");
    EXPECT_EQ(all.model, "b.iv");
    EXPECT_TRUE(all.modelGiven);
    EXPECT_EQ(all.idles, 50);
    EXPECT_EQ(all.trace, "t.csv");
    EXPECT_EQ(all.every, 5);
    // Keys by idle call, those of one idle call in command-line order.
    std::string keys;
    for (const auto& key : all.keys) keys += std::to_string(key.first) + key.second + " ";
    EXPECT_EQ(keys, "0n 3f 3j ");

    EXPECT_EQ(parse({"--replay", "g.replay"}).replay, "g.replay");
    EXPECT_TRUE(parse({"--help", "--every", "5"}).help);  // the usage, whatever goes with it
    EXPECT_TRUE(parse({"-h"}).help);
    EXPECT_EQ(parse({"--idles", "0"}).idles, 0);
    EXPECT_EQ(parse({"--idles", "100", "--key", "99:j"}).error, "");  // the last idle call
}

TEST(SimOptionsTest, MistakesAreNamed) {
    const std::string count = "': it must be a whole number from 0 to 9223372036854775807";
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    };
    const std::vector<Case> cases = {
        {{"--idles", "+10"}, "bad idle count '+10" + count},
        {{"--idles", " 10"}, "bad idle count ' 10" + count},
        {{"--idles=10 "}, "bad idle count '10 " + count},
        {{"--idles", "1e3"}, "bad idle count '1e3" + count},
        {{"--idles", "0x10"}, "bad idle count '0x10" + count},
        {{"--idles", ""}, "bad idle count '" + count},
        {{"--every", "0", "--trace", "t"}, "bad --every '0': it must be a whole number from 1 to 9223372036854775807"},
        {{"--key", "+5:f"}, "bad key idle number '+5" + count},
        {{"--key", "5"}, "bad key '5'"},
        {{"--idles"}, "--idles needs an idle count"},
        {{"--bogus", "1"}, "unknown option '--bogus'"},
        {{"stray"}, "unknown option 'stray'"},
        {{"--help=1"}, "--help takes no value"},
        {{"--trace", ""}, "empty file name for --trace"},
        {{"--every", "5"}, "--every needs --trace"},
        {{"--idles", "100", "--key", "100:j"},
         "key 'j' at idle call 100 is past the last idle call (--idles 100 numbers them 0 to 99)"},
    };
    for (const Case& c : cases) EXPECT_EQ(parse(c.arguments).error, c.error) << c.arguments[0];
}
