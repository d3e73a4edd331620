// The ZIP archive appended to the reader's own executable: finding it, extracting its entries
// into a private temporary directory, and removing them again at exit.
//
// Planned interface (the archive work fills in the implementation and may refine it):
//   AttachedArchive archive(files, system);
//   archive.ExtractAttachedArchive();         // at start-up; reports its own errors
//   archive.GetTempDirectory();               // the run's private directory, ending in a separator
//   archive.ExtractedFiles();                 // every path the walk set out to write
//   archive.DeleteExtractedFiles();           // at exit: the files, then the directory
#pragma once
