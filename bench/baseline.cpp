// The yardstick: the chart written the plain way, so that the benchmark can
// show what voziv's reader and writer gain. It reads with fgets into a
// 4176-byte buffer and sscanf, keeps each sibling list as a linked list that
// is searched with strcmp, takes one malloc per node, sorts every list with
// qsort through a scratch array, recurses over the tree and writes every
// record with printf. It knows the default page and the two orderings
// (-ss, -sa); nothing else of voziv's command line.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

struct Node {
    Node* next;
    Node* child;
    int nchild;
    int size;
    // the name's bytes and a NUL follow
};

char* nameOf(Node* node) {
    return reinterpret_cast<char*>(node + 1);
}

[[noreturn]] void die(const char* message, int status) {
    std::fputs(message, stderr);
    std::exit(status);
}

Node* newNode(const char* name) {
    std::size_t length = std::strlen(name);
    Node* node = static_cast<Node*>(std::malloc(sizeof(Node) + length + 1));
    if (node == nullptr) die("malloc error\n", 12);
    node->next = node->child = nullptr;
    node->nchild = node->size = 0;
    std::memcpy(nameOf(node), name, length + 1);
    return node;
}

Node* topNode;  // the top node "..", which holds the whole tree
Node* tree;     // the top node while reading, the chart root afterwards

int compareBySize(const void* a, const void* b) {
    return (*static_cast<Node* const*>(b))->size - (*static_cast<Node* const*>(a))->size;
}

int compareByName(const void* a, const void* b) {
    return std::strcmp(nameOf(*static_cast<Node* const*>(a)),
                       nameOf(*static_cast<Node* const*>(b)));
}

int (*compare)(const void*, const void*) = compareBySize;

void insertPath(char** components, int count) {
    Node* parent = tree;
    Node* node = nullptr;
    for (int i = 0; components[i] != nullptr; ++i) {
        for (node = parent->child; node != nullptr; node = node->next) {
            if (std::strcmp(nameOf(node), components[i]) == 0) break;
        }
        if (node == nullptr) {
            node = newNode(components[i]);
            node->next = parent->child;
            parent->child = node;
            ++parent->nchild;
        }
        parent = node;
    }
    node->size = count;
}

void sortTree(Node** head, int count) {
    if (*head == nullptr) return;
    Node** array = static_cast<Node**>(std::malloc(sizeof(Node*) * count));
    if (array == nullptr) die("malloc error\n", 12);
    int i = 0;
    for (Node* node = *head; node != nullptr; node = node->next) {
        array[i++] = node;
        if (node->child != nullptr) sortTree(&node->child, node->nchild);
    }
    if (count > 1) {
        std::qsort(array, count, sizeof(Node*), compare);
        *head = array[0];
        for (i = 0; i < count - 1; ++i)
            array[i]->next = array[i + 1];
        array[count - 1]->next = nullptr;
    }
    std::free(array);
}

int sumOfChildren(Node* node) {
    unsigned sum = 0;  // wraps as a 32-bit sum does
    for (Node* child = node->child; child != nullptr; child = child->next)
        sum += static_cast<unsigned>(child->size);
    return static_cast<int>(sum);
}

// Moves the tree reference to the chart root; returns the title's path.
char* chooseRoot() {
    static char title[80 * 4178];  // at most 79 components of one piece each
    title[0] = '\0';
    if (topNode->nchild != 1) {
        topNode->size = sumOfChildren(topNode);
        return title;
    }
    for (Node* node = topNode->child;; node = node->child) {
        if (node != topNode->child) std::strcat(title, "/");
        std::strcat(title, nameOf(node));
        tree = node;
        if (node->size != 0) break;
        if (node->nchild != 1) {
            if (node->nchild > 1) node->size = sumOfChildren(node);
            break;
        }
    }
    return title;
}

char* readDuOutput() {
    char line[4176];
    char path[4178];  // room for the "." before an absolute path
    char* components[80];
    tree = topNode = newNode("..");
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        int count;
        if (std::sscanf(line, "%d %s\n", &count, path + 1) != 2) continue;
        char* p = path + 1;
        if (*p == '/') {
            if (std::strlen(p) >= 4097) die("too long path\n", 63);
            *--p = '.';
        }
        if (std::strcmp(p, "./") == 0) p[1] = '\0';
        int n = 0;
        components[n++] = p;
        for (char* s = p; *s != '\0' && n < 79; ++s) {
            if (*s == '/') {
                *s = '\0';
                components[n++] = s + 1;
            }
        }
        components[n] = nullptr;
        insertPath(components, count);
    }
    sortTree(&tree->child, tree->nchild);
    return chooseRoot();
}

void printSubtree(Node* node, Node* parent, int depth, double top, double parentHeight) {
    while (node != nullptr && parent->size != 0) {
        double height = static_cast<double>(node->size) * parentHeight / parent->size;
        std::printf("%d (%s \\(%d\\)) %.2f %.2f %f %f %f\n", depth, nameOf(node), node->size,
                    height, top, 0.0, 0.0, 1.0);
        printSubtree(node->child, node, depth + 1, top, height);
        top -= height;
        node = node->next;
    }
}

void printTree(double height) {
    std::printf("%d (%s \\(%d\\)) %.2f %.2f %f %f %f\n", 0, nameOf(tree), tree->size, height,
                height, 0.0, 0.0, 1.0);
    printSubtree(tree->child, tree, 1, height, height);
}

const char* const prolog[] = {
    "/readToken { currentfile token pop } bind def",
    "",
    "/rect { % width height x y",
    "  newpath moveto",
    "  1 index 0 rlineto 0 exch rlineto neg 0 rlineto closepath",
    "} bind def",
    "",
    "/rectShow {",
    "  /depth readToken def",
    "  depth 0 lt { exit } if",
    "  /str readToken def",
    "  /height readToken def",
    "  /y readToken def",
    "  /h readToken def",
    "  /s readToken def",
    "  /b readToken def",
    "  depth ncols lt { % if",
    "    /x cellwidth depth mul def",
    "    newpath x y moveto",
    "    cellwidth 0 rlineto 0 height neg rlineto cellwidth neg 0 rlineto",
    "    closepath",
    "    gsave h s b sethsbcolor fill grestore stroke",
    "    0 0 0 sethsbcolor",
    "    height fontsize gt { % if",
    "      x emheight 3 div add y height emheight add 2 div sub moveto",
    "      str show",
    "    } if",
    "  } if",
    "} bind def",
    "",
    "newpath 0 0 moveto (M) false charpath pathbbox",
    "/emheight exch def pop pop pop",
    nullptr,
};

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-ss") == 0) {
            compare = compareBySize;
        } else if (std::strcmp(argv[i], "-sa") == 0) {
            compare = compareByName;
        } else {
            std::fprintf(stderr, "unknown option %s\n", argv[i]);
            return 1;
        }
    }
    const double paperWidth = 595.275591, paperHeight = 841.889764, margin = 50.0;
    const double width = paperWidth - 2 * margin, height = paperHeight - 2 * margin;
    std::printf("%%!\n%%%%Creator: voziv\n");
    std::printf(
        "/setpagedevice where { pop mark { << /PageSize [%f %f] >> setpagedevice } stopped "
        "cleartomark } if\n",
        paperWidth, paperHeight);
    std::printf("\n%f %f translate\n", margin, margin);
    std::printf("/fontsize %f def\n", 8.0);
    std::printf("/%s findfont fontsize scalefont setfont\n", "Times-Roman");
    std::printf("/ncols %d def\n", 7);
    std::printf("/cellwidth %f ncols div def\n", width);
    for (int i = 0; prolog[i] != nullptr; ++i)
        std::printf("%s\n", prolog[i]);
    std::printf("newpath %f %f 0 0 rect .9 setgray fill\n", width, height);
    std::printf("%f setlinewidth 0 setgray\n", 0.5);
    std::printf("0 %f emheight add moveto\n", height);
    std::printf("(The number of disk blocks used at %s) show\n", readDuOutput());
    std::printf("%f %f emheight add moveto\n", width, height);
    std::time_t now = std::time(nullptr);
    std::printf("(%s) dup stringwidth pop neg 0 rmoveto show\n", std::ctime(&now));
    std::printf("{ rectShow } loop\n");
    printTree(height);
    std::printf("-1\nshowpage\n");
    return 0;
}
