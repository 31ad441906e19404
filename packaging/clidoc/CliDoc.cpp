#include "CliDoc.h"

#include <sstream>

namespace dcv::clidoc {
namespace {

struct Command {
    std::string path; // "dcv config show"
    const CLI::App* app;
};

void collect(const CLI::App& app, const std::string& path, std::vector<Command>& out) {
    out.push_back({path, &app});
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
        collect(*sub, path + " " + sub->get_name(), out);
}

std::vector<Command> commandsOf(const CLI::App& app) {
    std::vector<Command> out;
    collect(app, app.get_name(), out);
    return out;
}

bool isHelp(const CLI::App& app, const CLI::Option* opt) {
    return opt == app.get_help_ptr() || opt == app.get_help_all_ptr();
}

std::vector<const CLI::Option*> positionalsOf(const CLI::App& app) {
    return app.get_options([](const CLI::Option* o) { return !o->nonpositional(); });
}

// Every named option of `app`, the help flags only when `withHelp`.
std::vector<const CLI::Option*> optionsOf(const CLI::App& app, bool withHelp) {
    return app.get_options(
        [&](const CLI::Option* o) { return o->nonpositional() && (withHelp || !isHelp(app, o)); });
}

std::vector<std::string> namesOf(const CLI::Option& opt) {
    std::vector<std::string> names;
    for (const std::string& s : opt.get_snames())
        names.push_back("-" + s);
    for (const std::string& l : opt.get_lnames())
        names.push_back("--" + l);
    return names;
}

bool takesValue(const CLI::Option& opt) {
    return opt.get_items_expected_max() > 0;
}

// "TEXT:{csv,json,gpx}" -> "{csv,json,gpx}", "TEXT:FILE" -> "FILE", "TEXT" -> "TEXT".
std::string valueLabel(const CLI::Option& opt) {
    const std::string type = opt.get_type_name();
    const auto colon = type.rfind(':');
    return colon == std::string::npos ? type : type.substr(colon + 1);
}

std::string positionalLabel(const CLI::Option& opt) {
    std::string label = "\\fI" + roffText(opt.get_name(true)) + "\\fP";
    if (opt.get_items_expected_max() > 1)
        label += "...";
    return opt.get_required() ? label : "[" + label + "]";
}

std::string optionItem(const CLI::Option& opt) {
    std::string item;
    for (const std::string& name : namesOf(opt))
        item += (item.empty() ? "" : ", ") + ("\\fB" + roffCode(name) + "\\fP");
    if (takesValue(opt))
        item += " \\fI" + roffText(valueLabel(opt)) + "\\fP";
    return item;
}

std::string synopsis(const Command& c) {
    std::string s = roffText(c.path);
    for (const CLI::Option* opt : optionsOf(*c.app, false)) {
        std::string o = "\\fB" + roffCode(namesOf(*opt).back()) + "\\fP";
        if (takesValue(*opt))
            o += " \\fI" + roffText(valueLabel(*opt)) + "\\fP";
        s += " " + (opt->get_required() ? o : "[" + o + "]");
    }
    if (!c.app->get_subcommands([](const CLI::App*) { return true; }).empty())
        s += " \\fICOMMAND\\fP";
    for (const CLI::Option* opt : positionalsOf(*c.app))
        s += " " + positionalLabel(*opt);
    return s;
}

void tagged(std::string& out, const std::string& tag, const std::string& text) {
    out += ".TP\n" + tag + "\n" + roffText(text) + "\n";
}

std::string replaced(std::string line, std::string_view key, std::string_view value) {
    for (auto at = line.find(key); at != std::string::npos; at = line.find(key, at + value.size()))
        line.replace(at, key.size(), value);
    return line;
}

std::string quoted(const std::string& word) {
    return "'" + word + "'";
}

std::string joined(const std::vector<std::string>& words, const std::string& separator) {
    std::string out;
    for (const std::string& w : words)
        out += (out.empty() ? "" : separator) + w;
    return out;
}

std::string indented(const std::vector<std::string>& lines, const std::string& indent) {
    std::string out;
    for (const std::string& line : lines)
        out += indent + line + "\n";
    return out;
}

// The bash statement that completes a value of the given kind.
std::string completer(const ValueSpec& spec) {
    switch (spec.kind) {
    case ValueKind::File:
        return "_dcv_paths -f";
    case ValueKind::Directory:
        return "_dcv_paths -d";
    case ValueKind::Device:
        return "_dcv_devices";
    case ValueKind::Choice:
        return "_dcv_words " + quoted(joined(spec.choices, " "));
    case ValueKind::None:
        break;
    }
    return ":";
}

} // namespace

std::string roffText(std::string_view text) {
    std::string out;
    std::istringstream lines{std::string(text)};
    for (std::string line; std::getline(lines, line);) {
        line.erase(0, line.find_first_not_of(' '));
        if (line.empty())
            continue;
        if (!out.empty())
            out += '\n';
        if (line[0] == '.' || line[0] == '\'')
            out += "\\&";
        for (char ch : line)
            out += ch == '\\' ? std::string("\\e") : std::string(1, ch);
    }
    return out;
}

std::string roffCode(std::string_view name) {
    std::string out;
    for (char ch : name)
        out += ch == '-' ? "\\-" : ch == '\\' ? "\\e" : std::string(1, ch);
    return out;
}

ValueSpec valueSpec(const CLI::Option& option) {
    if (option.nonpositional() && !takesValue(option))
        return {};
    for (const std::string& word :
         {valueLabel(option), option.nonpositional() ? std::string() : option.get_name(true)}) {
        if (word.size() > 2 && word.front() == '{' && word.back() == '}') {
            ValueSpec spec{ValueKind::Choice, {}};
            std::istringstream items(word.substr(1, word.size() - 2));
            for (std::string item; std::getline(items, item, ',');)
                spec.choices.push_back(item);
            return spec;
        }
        if (word == "FILE")
            return {ValueKind::File, {}};
        if (word == "DIR")
            return {ValueKind::Directory, {}};
        if (word == "DEVICE")
            return {ValueKind::Device, {}};
    }
    return {};
}

std::string manPage(const CLI::App& app, std::string_view page, std::string_view version,
                    std::string_view date) {
    std::string generated = ".SH OPTIONS\n";
    for (const CLI::Option* opt : optionsOf(app, true))
        tagged(generated, optionItem(*opt), opt->get_description());
    generated += ".SH COMMANDS\n";
    const std::vector<Command> commands = commandsOf(app);
    for (auto c = commands.begin() + 1; c != commands.end(); ++c) {
        generated += ".SS \"" + synopsis(*c) + "\"\n" + roffText(c->app->get_description()) + "\n";
        for (const CLI::Option* opt : positionalsOf(*c->app))
            tagged(generated, "\\fI" + roffText(opt->get_name(true)) + "\\fP", opt->get_description());
        for (const CLI::Option* opt : optionsOf(*c->app, false))
            tagged(generated, optionItem(*opt), opt->get_description());
    }

    std::string out;
    std::istringstream lines{std::string(page)};
    for (std::string line; std::getline(lines, line);)
        out += line == "@COMMANDS@" ? generated
                                    : replaced(replaced(line, "@VERSION@", version), "@DATE@", date) + "\n";
    return out;
}

std::string bashCompletion(const CLI::App& app) {
    const std::vector<Command> commands = commandsOf(app);
    std::vector<std::string> commandPaths, valueOptions, optionValueCases, optionCases, wordCases;
    for (const Command& c : commands) {
        if (&c != &commands.front())
            commandPaths.push_back(quoted(c.path));
        std::vector<std::string> names;
        for (const CLI::Option* opt : optionsOf(*c.app, true)) {
            std::vector<std::string> patterns;
            for (const std::string& name : namesOf(*opt)) {
                names.push_back(name);
                patterns.push_back(quoted(c.path + " " + name));
            }
            if (!takesValue(*opt))
                continue;
            valueOptions.insert(valueOptions.end(), patterns.begin(), patterns.end());
            optionValueCases.push_back(joined(patterns, "|") + ") " + completer(valueSpec(*opt)) +
                                       "; return ;;");
        }
        optionCases.push_back(quoted(c.path) + ") _dcv_words " + quoted(joined(names, " ")) + " ;;");

        std::vector<std::string> children;
        for (const CLI::App* sub : c.app->get_subcommands([](const CLI::App*) { return true; }))
            children.push_back(sub->get_name());
        if (!children.empty())
            wordCases.push_back(quoted(c.path + ":") + "*) _dcv_words " + quoted(joined(children, " ")) +
                                " ;;");
        const auto positionals = positionalsOf(*c.app);
        for (std::size_t i = 0; i < positionals.size(); ++i) {
            const bool repeated = i + 1 == positionals.size() && positionals[i]->get_items_expected_max() > 1;
            wordCases.push_back(quoted(c.path + ":" + (repeated ? "" : std::to_string(i))) +
                                (repeated ? "*" : "") + ") " + completer(valueSpec(*positionals[i])) + " ;;");
        }
    }

    const std::string name = app.get_name();
    std::string s = "# bash completion for " + name + ", made from its command tree at build time.\n\n";
    s += "_dcv_words() { mapfile -t COMPREPLY < <(compgen -W \"$1\" -- \"$cur\"); }\n";
    s += "_dcv_paths() {\n"
         "    compopt -o filenames 2>/dev/null\n"
         "    mapfile -t COMPREPLY < <(compgen \"$1\" -- \"$cur\")\n"
         "}\n";
    s += "# The device names (second column) of the disks the tool itself lists.\n"
         "_dcv_devices() { _dcv_words \"$(\"${COMP_WORDS[0]}\" disks 2>/dev/null | cut -f2)\"; }\n\n";
    s += "_dcv() {\n"
         "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
         "    local cmd=" +
         name +
         " n=0 i w\n"
         "    COMPREPLY=()\n"
         "    # The command named so far and how many positionals it has been given.\n"
         "    for ((i = 1; i < COMP_CWORD; i++)); do\n"
         "        w=${COMP_WORDS[i]}\n"
         "        case \"$cmd $w\" in\n"
         "        " +
         joined(commandPaths, "|") + ") cmd=\"$cmd $w\"; n=0 ;;\n";
    if (!valueOptions.empty())
        s += "        " + joined(valueOptions, "|") + ") ((i++)) ;;\n";
    s += "        *) [[ $w == -* ]] || ((n++)) ;;\n"
         "        esac\n"
         "    done\n"
         "    case \"$cmd $prev\" in\n";
    s += indented(optionValueCases, "    ");
    s += "    esac\n"
         "    if [[ $cur == -* ]]; then\n"
         "        case \"$cmd\" in\n";
    s += indented(optionCases, "        ");
    s += "        esac\n"
         "        return\n"
         "    fi\n"
         "    case \"$cmd:$n\" in\n";
    s += indented(wordCases, "    ");
    s += "    esac\n"
         "}\n"
         "complete -F _dcv " +
         name + "\n";
    return s;
}

} // namespace dcv::clidoc
