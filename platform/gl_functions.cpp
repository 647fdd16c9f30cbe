#include "platform/gl_functions.h"

#include <SDL_opengl.h>

#include "render/gl_api.h"

namespace vl {

void InstallSystemGl() {
  gl.Viewport = &glViewport;
  gl.MatrixMode = &glMatrixMode;
  gl.LoadIdentity = &glLoadIdentity;
  gl.Ortho = &glOrtho;
  gl.Frustum = &glFrustum;
  gl.Enable = &glEnable;
  gl.Disable = &glDisable;
  gl.ShadeModel = &glShadeModel;
  gl.ClearColor = &glClearColor;
  gl.ClearDepth = &glClearDepth;
  gl.DepthMask = &glDepthMask;
  gl.DepthFunc = &glDepthFunc;
  gl.Hint = &glHint;
  gl.PolygonMode = &glPolygonMode;
  gl.Clear = &glClear;
  gl.Finish = &glFinish;
  gl.Flush = &glFlush;
  gl.Color3f = &glColor3f;
  gl.Color4f = &glColor4f;
  gl.LineWidth = &glLineWidth;
  gl.BlendFunc = &glBlendFunc;
  gl.Begin = &glBegin;
  gl.End = &glEnd;
  gl.Vertex3f = &glVertex3f;
  gl.PushMatrix = &glPushMatrix;
  gl.PopMatrix = &glPopMatrix;
  gl.Translatef = &glTranslatef;
  gl.Scalef = &glScalef;
  gl.Rotatef = &glRotatef;
  gl.MultMatrixf = &glMultMatrixf;
  gl.GenLists = &glGenLists;
  gl.NewList = &glNewList;
  gl.EndList = &glEndList;
  gl.CallList = &glCallList;
}

}  // namespace vl
