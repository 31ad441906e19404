// dcv-clidoc: writes the manual page or the bash completion of `dcv` from its command tree.
//   dcv-clidoc man TEMPLATE DATE OUT
//   dcv-clidoc bash-completion OUT
#include "CliDoc.h"
#include "cli/Commands.h"
#include "util/Version.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    CLI::App app;
    dcv::cli::Context ctx;
    dcv::cli::setUpApp(app, ctx);

    std::string text, out;
    if (args.size() == 4 && args[0] == "man") {
        std::ifstream in(args[1]);
        std::stringstream page;
        page << in.rdbuf();
        if (!in) {
            std::cerr << "dcv-clidoc: cannot read " << args[1] << "\n";
            return 1;
        }
        text = dcv::clidoc::manPage(app, page.str(), dcv::kVersion, args[2]);
        out = args[3];
    } else if (args.size() == 2 && args[0] == "bash-completion") {
        text = dcv::clidoc::bashCompletion(app);
        out = args[1];
    } else {
        std::cerr << "usage: dcv-clidoc man TEMPLATE DATE OUT | bash-completion OUT\n";
        return 2;
    }
    std::ofstream file(out, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    if (!file) {
        std::cerr << "dcv-clidoc: cannot write " << out << "\n";
        return 1;
    }
    return 0;
}
