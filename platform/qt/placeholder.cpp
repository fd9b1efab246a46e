// The Qt backend is built here.
