#include "gis/qgis_style.h"

#include <cstdio>

namespace ombrix::gis {

namespace {

std::string hexColour(viewer::Colour c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
  return text;
}

// Band values are multiples of 0.1: the item of a class ends half a step below the next limit.
std::string upperBound(int nextLimit) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", nextLimit * 0.1 - 0.05);
  return text;
}

std::string item(std::string_view value, viewer::Colour colour, int alpha, std::string_view label) {
  return std::string("          <item value=\"") + std::string(value) + "\" color=\"" + hexColour(colour) +
         "\" alpha=\"" + std::to_string(alpha) + "\" label=\"" + std::string(label) + "\"/>\n";
}

}  // namespace

std::filesystem::path qgisStylePathBeside(const std::filesystem::path& map) {
  std::filesystem::path path = map;
  return path.replace_extension(".qml");
}

std::string qgisStyle(viewer::ClassScale scale) {
  const auto& limits = viewer::classLimits(scale);
  const auto& legend = viewer::legendOf(scale);
  std::string items = item("0.05", viewer::kWhite, 0, "0");
  for (std::size_t k = 0; k < limits.size(); ++k) {
    items += item(upperBound(limits[k]), viewer::classColour(static_cast<int>(k) + 1), 255, legend[k].label);
  }
  items += item("inf", viewer::classColour(static_cast<int>(limits.size()) + 1), 255, legend[limits.size()].label);
  return "<!DOCTYPE qgis PUBLIC 'http://mrcc.com/qgis.dtd' 'SYSTEM'>\n"
         "<qgis version=\"3.28\" styleCategories=\"Symbology\">\n"
         "  <pipe>\n"
         "    <rasterrenderer type=\"singlebandpseudocolor\" band=\"1\" opacity=\"1\" alphaBand=\"-1\" "
         "nodataColor=\"\" classificationMin=\"0\" classificationMax=\"" +
         upperBound(limits.back()) +
         "\">\n"
         "      <rastershader>\n"
         "        <colorrampshader colorRampType=\"DISCRETE\" classificationMode=\"1\" clip=\"0\">\n" +
         items +
         "        </colorrampshader>\n"
         "      </rastershader>\n"
         "    </rasterrenderer>\n"
         "  </pipe>\n"
         "</qgis>\n";
}

}  // namespace ombrix::gis
