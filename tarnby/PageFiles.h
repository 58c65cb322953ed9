#pragma once
// Loading local files into the main pane's text model, the two ways the window does it.
// Results are whole pane texts (lines separated by CR LF), already lower-cased.
#include "tarnby/PageSources.h"

#include <functional>
#include <string>
#include <vector>

namespace tarnby {

// Called with the 1-based number of the file about to be loaded (for the status text).
using FileProgress = std::function<void(int number)>;

// Start-up and batch mode: the lines of every file, in order, then the whole text lower-cased.
// Throws base::EFileError naming the file that cannot be read; nothing is returned then.
// pages, when given, receives each file's bytes as read (for the HTML parser).
std::string LoadFiles(const std::vector<std::string>& paths, const FileProgress& progress = {},
                      std::vector<LoadedPage>* pages = nullptr);

// Open files: for each file a line with its full name, then its lines; lower-cased.
// Throws base::EFileError naming the file that cannot be read.
std::string LoadFilesWithNames(const std::vector<std::string>& paths,
                               const FileProgress& progress = {}, std::vector<LoadedPage>* pages = nullptr);

} // namespace tarnby
