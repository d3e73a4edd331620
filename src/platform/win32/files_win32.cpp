// Placeholder until the Win32 files adapter lands.
