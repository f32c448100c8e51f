#include "cli/ArgumentParser.h"

#include <charconv>

namespace pixadra::cli {
namespace {

const OptionRule* FindRule(const std::vector<OptionRule>& rules, const std::string& name) {
    for (const OptionRule& rule : rules) {
        if (rule.name == name) return &rule;
    }
    return nullptr;
}

}  // namespace

std::string ParsedArguments::Value(const std::string& name, const std::string& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() || it->second.empty() ? fallback : it->second.back();
}

std::string ParsedArguments::Required(const std::string& name) const {
    const std::string value = Value(name);
    if (value.empty()) throw UsageError("--" + name + " is required");
    return value;
}

std::vector<std::string> ParsedArguments::Values(const std::string& name) const {
    const auto it = values_.find(name);
    return it == values_.end() ? std::vector<std::string>() : it->second;
}

int64_t ParsedArguments::Integer(const std::string& name, int64_t fallback, int64_t min, int64_t max) const {
    if (!Has(name)) return fallback;
    const std::string text = Value(name);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < min ||
        value > max) {
        throw UsageError("--" + name + " takes a whole number from " + std::to_string(min) + " to " +
                         std::to_string(max) + ", not \"" + text + "\"");
    }
    return value;
}

ParsedArguments ParseArguments(const std::vector<std::string>& args, const std::vector<OptionRule>& rules,
                               std::size_t maxPositionals) {
    ParsedArguments parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (parsed.positionals_.size() == maxPositionals) {
                throw UsageError("unexpected argument \"" + arg + "\"");
            }
            parsed.positionals_.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parsed.values_["help"];
            continue;
        }
        if (arg.rfind("--", 0) != 0) throw UsageError("unknown option \"" + arg + "\"");
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionRule* rule = FindRule(rules, name);
        if (!rule) throw UsageError("unknown option \"--" + name + "\"");
        if (parsed.Has(name) && !rule->repeatable) throw UsageError("--" + name + " is given more than once");
        std::vector<std::string>& values = parsed.values_[name];
        if (!rule->takesValue) {
            if (equals != std::string::npos) throw UsageError("--" + name + " takes no value");
            continue;
        }
        if (equals != std::string::npos) {
            values.push_back(arg.substr(equals + 1));
        } else if (i + 1 < args.size()) {
            values.push_back(args[++i]);
        } else {
            throw UsageError("--" + name + " needs a value");
        }
    }
    return parsed;
}

}  // namespace pixadra::cli
