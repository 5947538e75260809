# The Windows DLL: gridseek.dll exports exactly two __stdcall functions,
# undecorated, under their GBK names: 寻矿 with ordinal 1 and 寻路 with
# ordinal 2. Included from src/CMakeLists.txt after the gridseek target.
#
# GNU ld takes a non-ASCII export name only in double quotes, and the internal
# name must carry its stdcall suffix (@ and the argument bytes). The .def is
# written at configure time so that no file of the source tree holds GBK bytes.

string(ASCII 209 176 191 243 gridseek_gbk_ore)   # 寻矿 in GBK: D1 B0 BF F3
string(ASCII 209 176 194 183 gridseek_gbk_path)  # 寻路 in GBK: D1 B0 C2 B7

set(gridseek_def ${CMAKE_CURRENT_BINARY_DIR}/gridseek.def)
file(CONFIGURE OUTPUT ${gridseek_def} CONTENT [[
LIBRARY gridseek.dll
EXPORTS
  "@gridseek_gbk_ore@"="寻矿@16" @1
  "@gridseek_gbk_path@"="寻路@24" @2
]] @ONLY)

target_sources(gridseek PRIVATE ${gridseek_def})
set_target_properties(gridseek PROPERTIES PREFIX "" OUTPUT_NAME gridseek)
# The static runtime keeps the DLL's imports to Windows system DLLs. The result
# buffer is a static object: the runtime's DllMainCRTStartup runs its
# destructor at DLL_PROCESS_DETACH, so unloading releases it without a DllMain
# of our own. Export nothing but what the .def names, even if a declaration says dllexport.
target_link_options(gridseek PRIVATE -static -Wl,--exclude-all-symbols -Wl,--no-undefined)
