// Finding the windows of a running BricsCAD, AutoCAD or DWG TrueView.
