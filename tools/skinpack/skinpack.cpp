// The resource packer: turns the built-in skin images (one PNG per ResID beside order.txt,
// which lists ResID, draw mode and description in stored order) into the binary container
// of image-list items that the build compiles into the skin library.
//
//   qv_skinpack <images folder> <output file>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "draw/uPelluxPng.h"
#include "skin/uPelluxImageData.h"

namespace {

std::vector<std::string> SplitTabs(const std::string& Line) {
    std::vector<std::string> Fields;
    std::string Field;
    std::istringstream In(Line);
    while (std::getline(In, Field, '\t')) Fields.push_back(Field);
    return Fields;
}

int Pack(const std::string& Folder, const std::string& OutName) {
    std::ifstream Order(Folder + "/order.txt");
    if (!Order) {
        std::cerr << "qv_skinpack: cannot read " << Folder << "/order.txt\n";
        return 1;
    }
    std::vector<uint8_t> Out;
    std::string Line;
    int Number = 0;
    while (std::getline(Order, Line)) {
        ++Number;
        if (!Line.empty() && Line.back() == '\r') Line.pop_back();
        if (Line.empty()) continue;
        const std::vector<std::string> F = SplitTabs(Line);
        if (F.size() < 2 || (F[1] != "dmBlend" && F[1] != "dmOpaque")) {
            std::cerr << "qv_skinpack: order.txt line " << Number << ": expected ResID, draw mode, description\n";
            return 1;
        }
        TSurface32 Surface;
        bool HasTransparency = false;
        ReadPngIntoSurface(&Surface, Utf8ToString(Folder + "/" + F[0] + ".png"), HasTransparency);
        const std::vector<uint8_t> Record = Surface.DataRecord();
        TImageDataItem Item;
        Item.ResID = Utf8ToString(F[0]);
        Item.DrawMode = F[1] == "dmBlend" ? dmBlend : dmOpaque;
        Item.ResamplerClassName = u"TNearestResampler";
        Item.Description = F.size() > 2 ? Utf8ToString(F[2]) : String();
        Item.Record = Record.data();
        Item.RecordSize = Record.size();
        AppendImageDataItem(Out, Item);
    }
    std::ofstream File(OutName, std::ios::binary | std::ios::trunc);
    File.write(reinterpret_cast<const char*>(Out.data()), static_cast<std::streamsize>(Out.size()));
    if (!File) {
        std::cerr << "qv_skinpack: cannot write " << OutName << "\n";
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: qv_skinpack <images folder> <output file>\n";
        return 2;
    }
    try {
        return Pack(argv[1], argv[2]);
    } catch (const std::exception& E) {
        std::cerr << "qv_skinpack: " << E.what() << "\n";
        return 1;
    }
}
