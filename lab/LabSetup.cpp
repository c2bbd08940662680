// Finishes a copied lab folder as lab/demo-setup.txt describes: makes the empty
// folders and sets the Windows attributes that git cannot keep.
//
//   lab_setup <lab folder> <setup file>
#include "platform/WinApi.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: lab_setup <lab folder> <setup file>\n";
        return 2;
    }
    std::string lab = argv[1];
    std::ifstream setup(argv[2]);
    if (!setup) {
        std::cerr << "lab_setup: cannot read " << argv[2] << "\n";
        return 1;
    }
    std::string line;
    int number = 0;
    while (std::getline(setup, line)) {
        ++number;
        if (line.empty() || line[0] == '#') {
            continue;
        }
        auto tab = line.find('\t');
        if (tab == std::string::npos) {
            std::cerr << argv[2] << ":" << number << ": expected a tab after the first word\n";
            return 1;
        }
        std::string what = line.substr(0, tab);
        std::string path = lab + "/" + line.substr(tab + 1);
        if (what == "folder") {
            std::error_code ec;
            std::filesystem::create_directories(path, ec);
            if (ec) {
                std::cerr << argv[2] << ":" << number << ": cannot make " << path << ": "
                          << ec.message() << "\n";
                return 1;
            }
            continue;
        }
        DWORD attributes = 0;
        for (char c : what) {
            switch (c) {
            case 'R':
                attributes |= FILE_ATTRIBUTE_READONLY;
                break;
            case 'H':
                attributes |= FILE_ATTRIBUTE_HIDDEN;
                break;
            case 'S':
                attributes |= FILE_ATTRIBUTE_SYSTEM;
                break;
            case 'A':
                attributes |= FILE_ATTRIBUTE_ARCHIVE;
                break;
            default:
                std::cerr << argv[2] << ":" << number << ": \"" << what
                          << "\" is neither \"folder\" nor letters of RHSA\n";
                return 1;
            }
        }
        if (!SetFileAttributesA(path.c_str(), attributes)) {
            std::cerr << argv[2] << ":" << number << ": cannot set the attributes of " << path
                      << " (error " << GetLastError() << ")\n";
            return 1;
        }
    }
    return 0;
}
