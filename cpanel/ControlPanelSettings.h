// The control panel's registry values, under the product's root (the one the
// control reads, in the 32-bit view; foundation/Registry.h). The subkey comes
// first, the value name second.
#pragma once

constexpr char kRegPath[] = "Path";
constexpr char kRegLumbraRoot[] = "Lumbra Root Folder";
constexpr char kRegLumbraExe[] = "Lumbra Exe Path";
constexpr char kRegLastOcxFolder[] = "Last OCX Folder";
constexpr char kRegLastLumbraPathFolder[] = "Last Lumbra Path Folder";
constexpr char kRegLastLumbraExePath[] = "Last Lumbra Exe Path";
