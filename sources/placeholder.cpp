// Loading, crop sliders and the cut-out window are built here.
