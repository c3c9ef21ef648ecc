import kelsvg
from PIL import Image

png = kelsvg.render("examples/hello.svg", width=480)            # PNG bytes, 480 x 320
pdf = kelsvg.render(b'<svg xmlns="http://www.w3.org/2000/svg" width="20" height="20">'
                    b'<circle cx="10" cy="10" r="8"/></svg>', format="pdf")
width, height, rgba = kelsvg.render_rgba("examples/hello.svg", background="white")
image = Image.frombytes("RGBA", (width, height), rgba)           # straight RGBA, row by row
try:
    kelsvg.render(b"<svg><rect></svg>")
except kelsvg.Error as error:
    print(error)  # the SVG text: not well-formed XML: Error reading end tag. (line 1, column 12)
