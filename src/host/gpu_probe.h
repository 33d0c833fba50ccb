#pragma once
// Whether this machine's accelerated renderer is a real GPU, not a software
// OpenGL such as Mesa's llvmpipe (what Xvfb offers), which is an accelerated
// renderer in name only and slower than presenting on the CPU.

namespace host {

// Asked once and remembered. Where processes can be forked the question is put
// to a child before the display is opened, so that the OpenGL libraries and
// buffers the answer takes (some 70 MB under Mesa) never enter this process;
// call it before the video starts for that.
bool RealGpuAvailable();

}  // namespace host
