// Excel automation for a capture.
