#pragma once

namespace gridseek::messages {

// The bitmap component's failure texts, GBK-encoded, exactly as they reach
// errorText. The comments give the text in UTF-8.

// 不被支持的位图数据或无法识别的文件格式 - every failure of the load
inline constexpr char kUnsupportedData[] =
    "\xB2\xBB\xB1\xBB\xD6\xA7\xB3\xD6\xB5\xC4\xCE\xBB\xCD\xBC\xCA\xFD\xBE\xDD\xBB\xF2"
    "\xCE\xDE\xB7\xA8\xCA\xB6\xB1\xF0\xB5\xC4\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD";

// 位图尚未创建，没有可用数据 - a read or write while no image is loaded
inline constexpr char kNoImage[] =
    "\xCE\xBB\xCD\xBC\xC9\xD0\xCE\xB4\xB4\xB4\xBD\xA8\xA3\xAC\xC3\xBB\xD3\xD0\xBF\xC9"
    "\xD3\xC3\xCA\xFD\xBE\xDD";

// 像素点坐标越界 - a read or write of a position outside the image
inline constexpr char kOutOfBounds[] = "\xCF\xF1\xCB\xD8\xB5\xE3\xD7\xF8\xB1\xEA\xD4\xBD\xBD\xE7";

// 颜色索引无效 - a palette write whose nearest index does not fit the depth
inline constexpr char kBadColourIndex[] = "\xD1\xD5\xC9\xAB\xCB\xF7\xD2\xFD\xCE\xDE\xD0\xA7";

}  // namespace gridseek::messages
