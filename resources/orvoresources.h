#pragma once

// Registers the program's embedded images (":/icons/..." and ":/app/orvo-icp-view.png").
// They live in the static library orvo_resources, whose objects the linker drops unless
// something refers to them: call this once before the first image is used, e.g. at the start
// of the main window's constructor. Calling it again does no harm.
void initOrvoResources();
