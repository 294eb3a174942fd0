// Writes an OV2 test file: make-ov2 COUNT FILE

#include <cstdlib>
#include <fstream>
#include <iostream>

#include "uBenchData.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: make-ov2 COUNT FILE\n";
        return 2;
    }
    std::string data = MakeOv2(std::atoi(argv[1]));
    std::ofstream(argv[2], std::ios::binary)
        .write(data.data(), static_cast<std::streamsize>(data.size()));
    return 0;
}
