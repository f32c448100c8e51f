#pragma once
// Options of one command: "--name VALUE", "--name=VALUE" and flags; "--" ends the options.
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace pixadra::cli {

// Wrong use of the command line; the front end adds a hint and exits with status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct OptionRule {
    std::string name;  // without the leading "--"
    bool takesValue = false;
    bool repeatable = false;
};

class ParsedArguments {
  public:
    bool Has(const std::string& name) const { return values_.count(name) != 0; }
    // The option's value, or `fallback` when it is absent.
    std::string Value(const std::string& name, const std::string& fallback = std::string()) const;
    // The option's value; throws UsageError when it is absent or empty.
    std::string Required(const std::string& name) const;
    // Every value of a repeatable option in the order given.
    std::vector<std::string> Values(const std::string& name) const;
    // A whole number from min to max, or `fallback` when absent; throws UsageError naming the
    // option and the range otherwise.
    int64_t Integer(const std::string& name, int64_t fallback, int64_t min, int64_t max) const;
    const std::vector<std::string>& Positionals() const { return positionals_; }

  private:
    friend ParsedArguments ParseArguments(const std::vector<std::string>&, const std::vector<OptionRule>&,
                                          std::size_t);
    std::map<std::string, std::vector<std::string>> values_;
    std::vector<std::string> positionals_;
};

// Parses the arguments after the command name. Every command also accepts "--help" and "-h".
// Throws UsageError for an unknown option, a missing value, a repeated single option or more
// than `maxPositionals` other arguments.
ParsedArguments ParseArguments(const std::vector<std::string>& args, const std::vector<OptionRule>& rules,
                               std::size_t maxPositionals);

}  // namespace pixadra::cli
