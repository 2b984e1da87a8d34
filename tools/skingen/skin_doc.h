#pragma once
// Text outputs of the generator: the table of images for the documentation and the
// order file that the resource packer reads next to the pictures.

#include <string>

// docs/skin-images.md: every image's size, frames, draw mode, where its size comes from
// and what it is for.
std::string SkinImagesMarkdown();

// One line per image in stored order: ResID, draw mode, description, separated by tabs.
std::string SkinImagesOrder();
